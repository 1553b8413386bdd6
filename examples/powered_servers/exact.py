#!/usr/bin/env python3
"""Exact values of the powered_servers measures (README)."""
import math

LAMBDA, MU, ALPHA, BETA, OUTAGE = 0.2, 1.0, 0.05, 0.5, 10.0
S, P = LAMBDA + MU, ALPHA + BETA


def server_up(t):  # P(a server is up at t), starting up
    return MU / S + LAMBDA / S * math.exp(-S * t)


def power_on(t):  # P(the power is on at t), starting on
    return BETA / P + ALPHA / P * math.exp(-P * t)


def integral(f, a, b, n=200000):  # Simpson's rule; smooth integrands
    h = (b - a) / n
    total = f(a) + f(b)
    for i in range(1, n):
        total += (4 if i % 2 else 2) * f(a + i * h)
    return total * h / 3


# The servers and the supply are independent: E[up * on] = P(up) P(on).
print(f"serving_at_10 {2 * server_up(10) * power_on(10):.12g}")
print(f"serving_time {2 * integral(lambda t: server_up(t) * power_on(t), 0, 50):.12g}")
lost = 2 * integral(lambda t: server_up(t) * (1 - power_on(t)), 0, 50)
cuts = ALPHA * integral(power_on, 0, 50)
print(f"outage_cost {(lost + OUTAGE * cuts) / 50:.12g}")

#!/usr/bin/env python3
"""Exact values of the repair_costs measures (README)."""
import math

T = 100.0
LAMBDA, COST = 0.1, 250.0
for e, mu in enumerate([0.5, 2.0]):
    s = LAMBDA + mu
    # P(up at t) = mu/s + (lambda/s) e^{-st}; P(down at t) = 1 - P(up at t).
    up_integral = mu / s * T + LAMBDA / s**2 * (1 - math.exp(-s * T))
    failures = LAMBDA * up_integral            # E[failures in [0, T]]
    repairs = mu * (T - up_integral)           # E[repairs in [0, T]]
    print(f"-e {e}  mu={mu}: failures {failures:.12g}  repair_bill {COST * repairs / T:.12g}"
          f"  wear_at_100 {0.1 * failures:.12g}")

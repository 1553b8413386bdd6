#!/usr/bin/env python3
"""Exact steady-state measures of the M/M/1/K queue, as fractions.

pi_n = rho^n / (1 + rho + ... + rho^K), n = 0..K, rho = arrival / service.
Prints, per experiment, the mean number of jobs L, the probability that the
system is full pi_K and the throughput service * (1 - pi_0).
"""
from fractions import Fraction as Fr

service = Fr(1)
e = 0
for capacity in (5, 10, 15):
    for arrival in (Fr(1, 2), Fr(1), Fr(3, 2)):
        rho = arrival / service
        weights = [rho**n for n in range(capacity + 1)]
        total = sum(weights)
        pi = [w / total for w in weights]
        L = sum(n * p for n, p in enumerate(pi))
        X = service * (1 - pi[0])
        print(f"-e {e}: arrival={float(arrival)} K={capacity}: L = {float(L):.12g}"
              f"  P(full) = {float(pi[capacity]):.12g}  throughput = {float(X):.12g}")
        e += 1

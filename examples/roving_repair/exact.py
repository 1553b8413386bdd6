#!/usr/bin/env python3
"""Exact values of the roving_repair measures (README), from its Markov chain.

A state is (up[0], up[1], up[2], crew.at): unit i fails at rate rate[i]
while it works; the crew visits at rate visit_rate, repairs unit crew.at if
it is down and moves on to the next unit. Starts from (1, 1, 1, 0).
Prints E[units up] at 1 and 5, P(the crew's unit is up) at 5 and the
expected number of repairs by 5. Needs python3 and mpmath.
"""
import itertools

import mpmath as mp

mp.mp.dps = 30
rates = [mp.mpf("0.5"), mp.mpf("1.0"), mp.mpf("1.5")]
visit = mp.mpf("2.0")
states = [s for s in itertools.product([0, 1], [0, 1], [0, 1], [0, 1, 2])]
index = {s: i for i, s in enumerate(states)}
m = len(states)
Q = mp.zeros(m, m)
repair_rate = [0] * m  # rate of repairs in each state
for s in states:
    i = index[s]
    for u in range(3):
        if s[u] == 1:
            t = list(s)
            t[u] = 0
            Q[i, index[tuple(t)]] += rates[u]
    t = list(s)
    if t[t[3]] == 0:
        t[t[3]] = 1
        repair_rate[i] = visit
    t[3] = (t[3] + 1) % 3
    Q[i, index[tuple(t)]] += visit
for i in range(m):
    Q[i, i] = -sum(Q[i, j] for j in range(m) if j != i)


def transient(t):
    """p(t) and the integral of p over [0, t], from one matrix exponential."""
    A = mp.zeros(2 * m, 2 * m)
    for i in range(m):
        for j in range(m):
            A[i, j] = Q[i, j] * t
        A[i, m + i] = t
    E = mp.expm(A)
    start = index[(1, 1, 1, 0)]
    return [E[start, j] for j in range(m)], [E[start, m + j] for j in range(m)]


p1, _ = transient(1)
p5, i5 = transient(5)
print("units_up at 1:", mp.nstr(sum(p1[index[s]] * sum(s[:3]) for s in states), 12))
print("units_up at 5:", mp.nstr(sum(p5[index[s]] * sum(s[:3]) for s in states), 12))
print("crew_unit_up at 5:", mp.nstr(sum(p5[index[s]] * s[s[3]] for s in states), 12))
print("repairs at 5:", mp.nstr(sum(i5[j] * repair_rate[j] for j in range(m)), 12))

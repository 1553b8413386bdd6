#!/usr/bin/env python3
"""Exact reliability of the kofn_coverage model from its Markov chain.

States 0, 1, ..., n-k count the units down; F is system failure (absorbing).
Prints R(100), R(1000) and the expected time failed in [0, 1000] for each
experiment. Needs python3 and mpmath (Debian: python3-mpmath).
"""
import mpmath as mp

mp.mp.dps = 40


def chain(n, k, lam, load, c, mu):
    m = n - k + 2  # states 0..n-k, then F
    F = m - 1
    Q = mp.zeros(m, m)
    for i in range(n - k + 1):
        fail = (n - i) * lam * (1 + load * i)
        covered = i + 1 if i + 1 <= n - k else F
        Q[i, covered] += fail * c
        Q[i, F] += fail * (1 - c)
        if i > 0:
            Q[i, i - 1] += mu
    for i in range(m):
        Q[i, i] = -sum(Q[i, j] for j in range(m) if j != i)
    return Q, F


def transient(Q, p0, t):
    """p(t) and the integral of p over [0, t], from one matrix exponential."""
    m = Q.rows
    A = mp.zeros(2 * m, 2 * m)
    for i in range(m):
        for j in range(m):
            A[i, j] = Q[i, j] * t
        A[i, m + i] = t
    E = mp.expm(A)
    p = [sum(p0[i] * E[i, j] for i in range(m)) for j in range(m)]
    integral = [sum(p0[i] * E[i, m + j] for i in range(m)) for j in range(m)]
    return p, integral


experiments = [
    dict(c=mp.mpf("0.95"), load=0),
    dict(c=mp.mpf("0.99"), load=0),
    dict(c=mp.mpf("0.99"), load=1),
]
for e, x in enumerate(experiments):
    Q, F = chain(4, 2, mp.mpf("0.001"), x["load"], x["c"], mp.mpf("0.02"))
    p0 = [1] + [0] * (Q.rows - 1)
    r100 = 1 - transient(Q, p0, 100)[0][F]
    p1000, int1000 = transient(Q, p0, 1000)
    print(f"-e {e}: R(100) = {mp.nstr(r100, 12)}  R(1000) = {mp.nstr(1 - p1000[F], 12)}"
          f"  time failed in [0,1000] = {mp.nstr(int1000[F], 12)}")

#!/usr/bin/env python3
"""Exact transient measures of the shared_buffer model from its Markov chain.

The routing and rejection take no time, so the process seen over time is a
chain on (n1, n2), n1 + n2 <= capacity (15 states for capacity 4), empty at
time 0. An arrival event (rate `arrival`) brings one or two jobs; each in turn
is rejected if the buffer is full, else joins queue 1 with probability p or
queue 2 with 1 - p. Server 1 completes one job at rate mu1 (n1 > 0); server 2
completes two at rate mu2 (n2 >= 2). p(t) and its integral come from one
matrix exponential; server 2 serves 2 mu2 jobs per unit time while n2 >= 2.
Needs python3 and mpmath.
"""
import mpmath as mp

mp.mp.dps = 40
arrival, p, mu1, mu2, K = mp.mpf("0.9"), mp.mpf("0.6"), mp.mpf(1), mp.mpf("0.8"), 4
states = [(a, b) for a in range(K + 1) for b in range(K + 1 - a)]
index = {s: i for i, s in enumerate(states)}


def route(dist):
    """Distribution after one more job is routed or rejected."""
    out = {}
    for (a, b), w in dist.items():
        if a + b >= K:
            out[(a, b)] = out.get((a, b), 0) + w
        else:
            out[(a + 1, b)] = out.get((a + 1, b), 0) + w * p
            out[(a, b + 1)] = out.get((a, b + 1), 0) + w * (1 - p)
    return out


def transient(Q, p0, t):
    m = Q.rows
    A = mp.zeros(2 * m, 2 * m)
    for i in range(m):
        for j in range(m):
            A[i, j] = Q[i, j] * t
        A[i, m + i] = t
    E = mp.expm(A)
    return ([sum(p0[i] * E[i, j] for i in range(m)) for j in range(m)],
            [sum(p0[i] * E[i, m + j] for i in range(m)) for j in range(m)])


for e, batch in enumerate((1, 2)):
    m = len(states)
    Q = mp.zeros(m, m)
    for (a, b) in states:
        i = index[(a, b)]
        dist = {(a, b): mp.mpf(1)}
        for _ in range(batch):
            dist = route(dist)
        for s, w in dist.items():
            if s != (a, b):
                Q[i, index[s]] += arrival * w
        if a > 0:
            Q[i, index[(a - 1, b)]] += mu1
        if b >= 2:
            Q[i, index[(a, b - 2)]] += mu2
    for i in range(m):
        Q[i, i] = -sum(Q[i, j] for j in range(m) if j != i)
    p0 = [1] + [0] * (m - 1)  # states[0] is (0, 0)
    jobs = lambda v: sum(v[index[(a, b)]] * (a + b) for (a, b) in states)
    j2 = jobs(transient(Q, p0, 2)[0])
    p5 = transient(Q, p0, 5)[0]
    j5 = jobs(p5)
    waiting1 = sum(p5[index[(a, b)]] * max(a - 1, 0) for (a, b) in states)
    _, integral = transient(Q, p0, 10)
    over = lambda test: sum(integral[index[(a, b)]] for (a, b) in states if test(a, b))
    full = over(lambda a, b: a + b == K) / 10
    lone = over(lambda a, b: b % 2 == 1) / 10
    busy1 = over(lambda a, b: a > 0)
    served2 = 2 * mu2 * over(lambda a, b: b >= 2)
    print(f"-e {e}: pairs={batch == 2}:")
    for name, value in (("jobs at 2", j2), ("jobs at 5", j5), ("waiting at 1 at 5", waiting1),
                        ("full (average over [0,10])", full),
                        ("lone job at 2 (average over [0,10])", lone),
                        ("server 1 busy time in [0,10]", busy1),
                        ("served by 2 by 10", served2)):
        print(f"  {name:36s} {mp.nstr(value, 12)}")

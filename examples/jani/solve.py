#!/usr/bin/env python3
"""Exact values of the example JANI models, from their CTMCs written out by
hand (not from the importer): uniformization for values at and up to a time
T, linear equations for long-run averages and values until a goal.
Prints one line per property: FILE PROPERTY VALUE. Pure Python 3."""
import math


def solve_linear(a, b):
    n = len(b)
    m = [row[:] + [b[i]] for i, row in enumerate(a)]
    for c in range(n):
        p = max(range(c, n), key=lambda r: abs(m[r][c]))
        m[c], m[p] = m[p], m[c]
        for r in range(n):
            if r != c and m[r][c] != 0:
                f = m[r][c] / m[c][c]
                m[r] = [x - f * y for x, y in zip(m[r], m[c])]
    return [m[i][n] / m[i][i] for i in range(n)]


def transient(rates, n, p0, t):
    """rates: dict (i, j) -> rate. Returns (pi(t), integral of pi over [0,t])."""
    out = [0.0] * n
    for (i, _), r in rates.items():
        out[i] += r
    lam = max(out) * 1.02 or 1.0
    p = [[0.0] * n for _ in range(n)]
    for i in range(n):
        p[i][i] = 1 - out[i] / lam
    for (i, j), r in rates.items():
        p[i][j] += r / lam
    v = p0[:]
    pt = [0.0] * n
    cum = [0.0] * n
    w = math.exp(-lam * t)
    tail = 1 - w  # P(N > k) for k = 0
    k = 0
    while tail > 1e-16 or k < lam * t:
        for i in range(n):
            pt[i] += w * v[i]
            cum[i] += tail / lam * v[i]
        v = [sum(v[i] * p[i][j] for i in range(n)) for j in range(n)]
        k += 1
        w *= lam * t / k
        tail -= w
        if k > 100000:
            break
    return pt, cum


def steady(rates, n):
    a = [[0.0] * n for _ in range(n)]
    for (i, j), r in rates.items():
        a[j][i] += r
        a[i][i] -= r
    a[n - 1] = [1.0] * n
    b = [0.0] * (n - 1) + [1.0]
    return solve_linear(a, b)


def queue():
    k, lam, mu, t = 4, 2.0, 1.5, 2.5
    rates = {}
    for q in range(k + 1):
        if q < k:
            rates[(q, q + 1)] = lam
        if q > 0:
            rates[(q, q - 1)] = mu * min(q, 2)
    p0 = [1.0] + [0.0] * k
    pt, cum = transient(rates, k + 1, p0, t)
    absorbing = {e: r for e, r in rates.items() if e[0] != k}
    pa, _ = transient(absorbing, k + 1, p0, t)
    pi = steady(rates, k + 1)
    # full at some time in [1, T]: the distribution at 1, then K absorbing for T - 1
    p1, _ = transient(rates, k + 1, p0, 1.0)
    pw, _ = transient(absorbing, k + 1, p1, t - 1.0)
    return [("full_by_T", pa[k]), ("full_between", pw[k]), ("queue_at_T", sum(q * pt[q] for q in range(k + 1))),
            ("queue_time_T", sum(q * cum[q] for q in range(k + 1))),
            ("mean_queue", sum(q * pi[q] for q in range(k + 1)))]


def duplex():
    lam, mu, c, t = 0.1, 1.0, 0.9, 10.0
    # states: 0 both up, 1 one down, 2 both down, 3 crashed (uncovered failure)
    rates = {(0, 1): 2 * lam * c, (0, 3): 2 * lam * (1 - c), (1, 0): mu, (1, 2): lam * c,
             (1, 3): lam * (1 - c), (2, 1): 2 * mu}
    down = {e: r for e, r in rates.items() if e[0] not in (2, 3)}
    pa, _ = transient(down, 4, [1.0, 0, 0, 0], t)
    # mean time to system down from state 0: m0 = 1/(2 lam) + c m1, m1 = (1 + mu m0)/(lam + mu)
    m = solve_linear([[1.0, -c], [-mu / (lam + mu), 1.0]], [1 / (2 * lam), 1 / (lam + mu)])
    # crash before both units are down: x0 = (1-c) + c x1, x1 = (lam (1-c) + mu x0)/(lam + mu)
    x = solve_linear([[1.0, -c], [-mu / (lam + mu), 1.0]], [1 - c, lam * (1 - c) / (lam + mu)])
    return [("down_by_T", pa[2] + pa[3]), ("mttf", m[0]), ("crash_first", x[0])]


def jobs_values():
    a, b, p, t = 1.0, 2.0, 0.4, 3.0
    states = [(loc, j) for j in range(4) for loc in ("idle", "work", "done")]
    idx = {s: i for i, s in enumerate(states)}
    rates = {}
    for j in range(4):
        rates[(idx[("idle", j)], idx[("work", j)])] = a
        w = idx[("work", j)]
        if j < 3:
            rates[(w, idx[("done", j)])] = b * p
            rates[(w, idx[("idle", j + 1)])] = b * (1 - p)
        else:
            rates[(w, idx[("done", j)])] = b
    n = len(states)
    p0 = [0.0] * n
    p0[idx[("idle", 0)]] = 1.0
    pt, cum = transient(rates, n, p0, t)
    done_by_t = sum(pt[idx[("done", j)]] for j in range(4))
    def a_of(j):
        return 1 if j % 2 == 0 else 4
    def last_of(j):
        return 0 if j == 0 else a_of(j)
    a_at_t = sum(pt[idx[s]] * a_of(s[1]) for s in states)
    last_at_t = sum(pt[idx[s]] * last_of(s[1]) for s in states)
    busy_t = sum(cum[idx[("work", j)]] for j in range(4))
    attempts = sum((1 - p) ** k for k in range(4))
    mean_time = attempts * (1 / a + 1 / b)
    return [("done_by_T", done_by_t), ("a_at_T", a_at_t), ("last_at_T", last_at_t),
            ("busy_time_T", busy_t), ("time_to_done", mean_time)]


def absorbing(rates, states):
    return {e: r for e, r in rates.items() if e[0] not in states}


def until_goal(rates, n, goal):
    """Expected time to reach goal from each state: out_i m_i - sum r_ij m_j = 1."""
    rest = [i for i in range(n) if i not in goal]
    pos = {i: k for k, i in enumerate(rest)}
    a = [[0.0] * len(rest) for _ in rest]
    for (i, j), r in rates.items():
        if i in goal:
            continue
        a[pos[i]][pos[i]] += r
        if j not in goal:
            a[pos[i]][pos[j]] -= r
    m = solve_linear(a, [1.0] * len(rest))
    return {i: m[pos[i]] for i in rest}


def steps_reach(jumps, n, p0, goal, k):
    """Probability of a goal state within k transitions of the jump chain
    jumps: dict (i, j) -> probability; goal states absorbing."""
    v = p0[:]
    hit = sum(v[i] for i in goal)
    for _ in range(k):
        w = [0.0] * n
        for (i, j), q in jumps.items():
            if i not in goal:
                w[j] += v[i] * q
        v = w
        hit += sum(v[i] for i in goal)
    return hit


def jump_chain(rates, n):
    out = [0.0] * n
    for (i, _), r in rates.items():
        out[i] += r
    return {(i, j): r / out[i] for (i, j), r in rates.items()}


def tandem():
    c1max, c2max, lam, mu1, mu2, t = 3, 2, 1.5, 2.0, 1.0, 2.0
    states = [(a, b) for a in range(c1max + 1) for b in range(c2max + 1)]
    idx = {s: i for i, s in enumerate(states)}
    rates = {}
    for (a, b), i in idx.items():
        if a < c1max:
            rates[(i, idx[(a + 1, b)])] = lam
        if a > 0 and b < c2max:
            rates[(i, idx[(a - 1, b + 1)])] = mu1 * math.floor((a + 1) / 2)
        if b > 0:
            rates[(i, idx[(a, b - 1)])] = mu2 * math.sqrt(b)
    n = len(states)
    p0 = [0.0] * n
    p0[idx[(0, 0)]] = 1.0
    queued = [a + b for a, b in states]
    blocked = [i for (a, b), i in idx.items() if b == c2max and a > 0]
    pt, cum = transient(rates, n, p0, t)
    pb, _ = transient(absorbing(rates, blocked), n, p0, t)
    # c1 < C1 weak-until c2 = C2: goal and failure states both absorbing
    goal = [i for (a, b), i in idx.items() if b == c2max]
    failed = [i for (a, b), i in idx.items() if a == c1max and b < c2max]
    pw, _ = transient(absorbing(rates, goal + failed), n, p0, t)
    pi = steady(rates, n)
    # step bounds: the chain of transitions (no self-loops here)
    jumps = jump_chain(rates, n)
    failed_in_5 = steps_reach({e: q for e, q in jumps.items() if e[0] not in goal}, n, p0,
                              failed, 5)
    return [("blocked_by_T", sum(pb[i] for i in blocked)),
            ("first_short_W", 1 - sum(pw[i] for i in failed)),
            ("blocked_in_6_steps", steps_reach(jumps, n, p0, blocked, 6)),
            ("short_W_5_steps", 1 - failed_in_5),
            ("queued_at_T", sum(q * x for q, x in zip(queued, pt))),
            ("queued_time_T", sum(q * x for q, x in zip(queued, cum))),
            ("mean_queued", sum(q * x for q, x in zip(queued, pi))),
            ("blocked_share", sum(pi[i] for i in blocked))]


def spares():
    lam, mu, cov, rho, t = 0.3, 1.0, 0.8, 0.5, 4.0
    # 0: two working, 1: one, 2: none, 3: lost with one, 4: lost with none.
    # The switch's instantaneous check after a failure is resolved at once:
    # covered with probability cov, else the system is lost.
    rates = {(0, 1): 2 * lam * cov, (0, 3): 2 * lam * (1 - cov), (1, 2): lam * cov,
             (1, 4): lam * (1 - cov), (1, 0): mu * (1 + 0), (2, 1): mu * (1 + 1),
             (3, 0): rho, (4, 0): rho}
    n = 5
    p0 = [1.0, 0, 0, 0, 0]
    up = [1, 1, 0, 0, 0]
    working = [2, 1, 0, 1, 0]
    pt, cum = transient(rates, n, p0, t)
    pl, _ = transient(absorbing(rates, (3, 4)), n, p0, t)
    pd, _ = transient(absorbing(rates, (2, 3, 4)), n, p0, t)
    m = until_goal(rates, n, (3, 4))
    pi = steady(rates, n)
    # Step bounds count the instantaneous checks too: 5 and 6 are the
    # states just after a failure from two and from one working unit.
    jumps = {(0, 5): 1.0, (1, 6): lam / (lam + mu), (1, 0): mu / (lam + mu), (2, 1): 1.0,
             (3, 0): 1.0, (4, 0): 1.0, (5, 1): cov, (5, 3): 1 - cov, (6, 2): cov,
             (6, 4): 1 - cov}
    q0 = [1.0] + [0.0] * 6
    return [("lost_by_T", pl[3] + pl[4]), ("always_up_T", pd[0] + pd[1]),
            ("lost_in_6_steps", steps_reach(jumps, 7, q0, (3, 4), 6)),
            ("up_for_6_steps", 1 - steps_reach(jumps, 7, q0, (2, 3, 4, 6), 6)),
            ("up_time_T", sum(u * x for u, x in zip(up, cum))),
            ("working_at_T", sum(w * x for w, x in zip(working, pt))),
            ("time_to_loss", m[0]),
            # rewards of transitions: one a failure (rate lam * working while not lost),
            # one a check (one per failure: checks until the loss are geometric)
            ("fails_T", lam * (2 * cum[0] + cum[1])),
            ("cost_T", 2 * (cum[3] + cum[4]) + lam * (2 * cum[0] + cum[1])),
            ("up_steps_T", 0.0), ("checks_to_loss", 1 / (1 - cov)),
            ("fail_rate", lam * (2 * pi[0] + pi[1])), ("availability", pi[0] + pi[1])]


def reservoir():
    drain, fill, mix, dose, t = 1.0, 2.0, 0.5, 1, 1.5
    # Real variables: the means m = (E level, E spare) follow the linear
    # equations m' = A m + u (halving at rate drain, dose / 2 added at rate
    # fill, the two swapped at rate mix), so m(t) = e^(At) m0 + (e^(At) - I) A^-1 u
    # and its integral from the series of e^(As).
    a = [[-drain / 2 - mix, mix], [mix, -mix]]
    u = [fill * dose / 2, 0.0]
    m0 = [1.0, 0.0]

    def mul(x, y):
        return [[sum(x[i][k] * y[k][j] for k in range(2)) for j in range(2)] for i in range(2)]

    expm = [[1.0, 0.0], [0.0, 1.0]]  # sum of (At)^k / k!
    integ = [[t, 0.0], [0.0, t]]  # sum of A^k t^(k+1) / (k+1)!
    term = [[1.0, 0.0], [0.0, 1.0]]
    for k in range(1, 80):
        term = [[x * t / k for x in row] for row in mul(term, a)]
        expm = [[x + y for x, y in zip(r, q)] for r, q in zip(expm, term)]
        integ = [[x + y * t / (k + 1) for x, y in zip(r, q)] for r, q in zip(integ, term)]
    # m(t) = e^(At) m0 + integral_0^t e^(As) ds u; its integral likewise.
    m = [sum(expm[i][j] * m0[j] for j in range(2)) +
         sum(integ[i][j] * u[j] for j in range(2)) for i in range(2)]
    inv = solve_linear(a, [1.0, 0.0]), solve_linear(a, [0.0, 1.0])
    ainv = [[inv[j][i] for j in range(2)] for i in range(2)]  # A^-1
    # integral of m: A^-1 (e^(At) - I) m0 + A^-1 (integral e^(As) ds - t I) u
    em = [[expm[i][j] - (i == j) for j in range(2)] for i in range(2)]
    im = [[integ[i][j] - t * (i == j) for j in range(2)] for i in range(2)]
    v = [sum(em[i][j] * m0[j] + im[i][j] * u[j] for j in range(2)) for i in range(2)]
    cum = [sum(ainv[i][j] * v[j] for j in range(2)) for i in range(2)]
    # Step bounds: whether spare and level are 0 follows a jump chain (every
    # edge is always enabled, so each transition is a drain, a fill or a
    # swap with probabilities proportional to the rates). States: A spare 0
    # (the start), B level 0 (after a swap from A), C neither (for ever).
    tot = drain + fill + mix
    pd, pf, pm = drain / tot, fill / tot, mix / tot
    jumps = {(0, 0): pd + pf, (0, 1): pm, (1, 1): pd, (1, 2): pf, (1, 0): pm, (2, 2): 1.0}
    dist = [1.0, 0.0, 0.0]
    dry = []  # P(spare = 0 after k transitions), k = 0, 1, ...
    for _ in range(4):
        dry.append(dist[0])
        nxt = [0.0, 0.0, 0.0]
        for (i, j), q in jumps.items():
            nxt[j] += dist[i] * q
        dist = nxt
    # long run: level = spare = fill * dose / drain
    return [("level_at_T", m[0]), ("spare_at_T", m[1]), ("level_time_T", cum[0]),
            ("dry_spare_at_3", dry[3]), ("dry_spare_at_2", dry[2]),
            ("mean_total", 2 * fill * dose / drain)]


if __name__ == "__main__":
    for name, values in (("queue.jani", queue()), ("duplex.jani", duplex()),
                         ("jobs.jani", jobs_values()), ("tandem.jani", tandem()),
                         ("spares.jani", spares()), ("reservoir.jani", reservoir())):
        for prop, v in values:
            print(f"{name} {prop} {v:.10g}")

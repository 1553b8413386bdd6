#!/usr/bin/env python3
"""Exact survival probabilities R(t) = P(life > t) of the part_lifetimes model.

Each life is drawn exactly as Velmor draws it (README.md lists the
parameterisations): normal lives are conditioned on being non-negative,
geometric, binomial and negative binomial lives are whole numbers of failures
or successes. Needs python3 and mpmath.
"""
import mpmath as mp

mp.mp.dps = 30
F = mp.mpf
phi = mp.ncdf


def geometric_tail(p, t):  # P(X > t), X = failures before the first success
    return (1 - p) ** (mp.floor(t) + 1)


def binomial_tail(n, p, t):
    return sum(mp.binomial(n, k) * p**k * (1 - p) ** (n - k) for k in range(int(mp.floor(t)) + 1, n + 1))


def negbin_tail(r, p, t):
    return 1 - sum(mp.binomial(k + r - 1, k) * p**r * (1 - p) ** k for k in range(int(mp.floor(t)) + 1))


def hypo_tail(rates, t):
    return sum(mp.exp(-li * t) * mp.fprod(lj / (lj - li) for lj in rates if lj != li) for li in rates)


def triangular_tail(a, b, c, t):
    if t <= a:
        return F(1)
    if t <= c:
        return 1 - (t - a) ** 2 / ((b - a) * (c - a))
    if t < b:
        return (b - t) ** 2 / ((b - a) * (b - c))
    return F(0)


R = {
    "exponential": lambda t: mp.exp(-F("0.5") * t),
    "deterministic": lambda t: F(1) if t < 2 else F(0),
    "uniform": lambda t: (4 - t) / 3,
    "weibull": lambda t: mp.exp(-((t / 2) ** F("1.5"))),
    "normal": lambda t: (1 - phi(t, 2, 1)) / (1 - phi(0, 2, 1)),
    "lognormal": lambda t: 1 - phi(mp.log(t), F("0.5"), F("0.5")),
    "gamma_wearout": lambda t: 1 - mp.gammainc(3, 0, t / F("0.7"), regularized=True),
    "gamma_infant": lambda t: 1 - mp.gammainc(F("0.6"), 0, t / 3, regularized=True),
    "beta": lambda t: 1 - mp.betainc(2, 3, 0, t, regularized=True) if t < 1 else F(0),
    "erlang": lambda t: sum(mp.exp(-F("1.5") * t) * (F("1.5") * t) ** j / mp.factorial(j) for j in range(3)),
    "triangular": lambda t: triangular_tail(F(1), F(4), F(2), t),
    "pareto": lambda t: (1 / t) ** F("2.5"),
    "geometric": lambda t: geometric_tail(F("0.3"), t),
    "binomial": lambda t: binomial_tail(6, F("0.4"), t),
    "negative_binomial": lambda t: negbin_tail(3, F("0.5"), t),
    "hypoexponential": lambda t: hypo_tail([F(1), F(2), F(3)], t),
    "hyperexponential": lambda t: F("0.3") * mp.exp(-F("0.5") * t) + F("0.7") * mp.exp(-2 * t),
}

for name, r in R.items():
    times = (F("0.3"), F("0.6")) if name == "beta" else (F("1.5"), F("3.5"))
    print(f"survives_{name:18s} R({mp.nstr(times[0], 2)}) = {mp.nstr(r(times[0]), 12):16s}"
          f" R({mp.nstr(times[1], 2)}) = {mp.nstr(r(times[1]), 12)}")
t = F("1.5")
print(f"parts_working at 1.5 = {mp.nstr(sum(r(t) for r in R.values()), 12)}")
print(f"pair_survives at 1.5 = {mp.nstr(R['exponential'](t) * R['hyperexponential'](t), 12)}")

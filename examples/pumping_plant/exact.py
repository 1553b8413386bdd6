#!/usr/bin/env python3
"""Exact measures of the pumping_plant model, in closed form.

A two-state unit with failure rate l and repair rate m, up at 0, is up at t
with probability a(t) = m/(l+m) + l/(l+m) exp(-(l+m) t). The units are
independent, so a line delivers at t with probability
  L(t) = c(t) * sum_{j >= needed} C(3, j) p(t)^j (1 - p(t))^(3 - j)
(p: pump, c: controller) and the plant, two independent lines, with
1 - (1 - L(t))^2. The time integrals are taken numerically to 30 digits.
Needs python3 and mpmath.
"""
import mpmath as mp

mp.mp.dps = 30


def up(l, m, t):
    return m / (l + m) + l / (l + m) * mp.exp(-(l + m) * t)


def line(t, needed, n=3):
    p = up(mp.mpf("0.05"), mp.mpf("0.2"), t)
    c = up(mp.mpf("0.01"), mp.mpf("0.1"), t)
    return c * sum(mp.binomial(n, j) * p**j * (1 - p) ** (n - j) for j in range(needed, n + 1))


for e, needed in enumerate((1, 2, 3)):
    a10 = 1 - (1 - line(10, needed)) ** 2
    a100 = 1 - (1 - line(100, needed)) ** 2
    lines = 2 * mp.quad(lambda t: line(t, needed), [0, 10, 100]) / 100
    down = mp.quad(lambda t: (1 - line(t, needed)) ** 2, [0, 10, 100])
    pumps_down = 6 * (1 - up(mp.mpf("0.05"), mp.mpf("0.2"), 100))
    print(f"-e {e}: needed={needed}: plant available at 10 = {mp.nstr(a10, 12)}"
          f"  at 100 = {mp.nstr(a100, 12)}  lines delivering (average over [0,100]) ="
          f" {mp.nstr(lines, 12)}  plant down time in [0,100] = {mp.nstr(down, 12)}"
          f"  pumps down at 100 = {mp.nstr(pumps_down, 12)}")

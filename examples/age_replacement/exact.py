#!/usr/bin/env python3
"""Exact steady-state measures of the age_replacement model.

A life ends at min(X, tau), X ~ Weibull(shape b, scale s), R(t) = exp(-(t/s)^b).
By the renewal-reward theorem, with
  U   = E[min(X, tau)] = integral_0^tau R(t) dt = (s/b) * lower_gamma(1/b, (tau/s)^b)
  C   = E[repair] * F(tau),   E[repair] = exp(log_mu + log_var / 2)
  P   = pm_time * R(tau)
availability = U / (U + C + P), repair fraction = C / (U + C + P),
overhaul fraction = P / (U + C + P). Needs python3 and mpmath.
"""
import mpmath as mp

mp.mp.dps = 30
b, s, pm = mp.mpf(2), mp.mpf(1000), mp.mpf(5)
mean_repair = mp.exp(mp.mpf("3.5") + mp.mpf("0.5") / 2)
for e, tau in enumerate((250, 500, 1000)):
    tau = mp.mpf(tau)
    R = mp.exp(-((tau / s) ** b))
    U = s / b * mp.gammainc(1 / b, 0, (tau / s) ** b)
    C = mean_repair * (1 - R)
    P = pm * R
    cycle = U + C + P
    print(f"-e {e}: tau={mp.nstr(tau, 6)}: availability = {mp.nstr(U / cycle, 12)}"
          f"  repair fraction = {mp.nstr(C / cycle, 12)}"
          f"  overhaul fraction = {mp.nstr(P / cycle, 12)}  (mean cycle {mp.nstr(cycle, 8)} h)")

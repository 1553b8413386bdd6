// AnalyticExpectations: what long runs of the built-in model must approach,
// worked out by hand from its rates, case weights and delays (no simulation
// output was used). Constants only; thread-safe.
#ifndef VELMOR_TESTS_MODELS_ANALYTICEXPECTATIONS_H
#define VELMOR_TESTS_MODELS_ANALYTICEXPECTATIONS_H

// Derivation (models/redundant_controller_flash/ANALYSIS.md has it in full):
//
// Constants (days): sefi rate lf = 0.00274; seu case-2 rate per available
// replica token a = 6.44e-7 * 17 / 512 = 2.13828125e-8; RAM corruption rate
// from the clean state r = 6.012*0.25 + 2.95e-6*0.25 + 0.005f = 1.50800074;
// watchdog delay d = 0.00347; stationary P(RAM corrupted) pi = r d/(1 + r d)
// = 0.00520552.
//
// 1. power_cycle is deterministic with delay 1000 > 365: it never fires, so
//    devices_available and replicas_available only decrease and
//    flash_corrupted stays 1 once set.
// 2. Each replica (D = num_devices of them) holds R = num_replicas tokens,
//    lost one by one at rate a*k (seu case 2, weight proportional to k) or
//    all at once by a sefi (rate lf). It empties at T_i with
//    P(T > s) = exp(-lf s) (1 - (1 - exp(-a s))^R); G(s) = 1 - P(T > s).
// 3. flash_corrupted is set when the last replica empties:
//    P(tau <= s) = G(s)^D.
// 4. The RAM alternates clean ~ Exp(r) and corrupted for exactly d,
//    independently of the flash. The instantaneous failure fires at tau if
//    the RAM is corrupted then (probability pi), else at the next
//    corruption, Exp(r) later. system_failed never resets, so the mean of
//    "reliability" at t is
//      P_fail(t) = int_0^t dG^D(s) [pi + (1 - pi)(1 - exp(-r (t - s)))],
//    evaluated by Simpson's rule (error of using the stationary pi < 1e-5).
// 5. Per replica at 365:
//      E[seu]  = a R (1 - exp(-(lf + a) 365)) / (lf + a),
//      E[sefi] = int_0^365 lf exp(-lf s) (1 - (1 - exp(-a s))^R) ds;
//    the rewards sum over the D replicas.
// 6. Firings per replication: bit_error 6.012*365*(1 - r_b d/(1 + r d)),
//    r_b = 1.5030007; watchdog r*365/(1 + r d); random_failure
//    0.005*365/(1 + r d); page_error 0.001; plus sefi, seu and failure.

namespace analytic {

struct ExperimentExpectation {
  int experimentIndex;  // 0-based, as given to -e
  short numDevices;
  short numReplicas;
  double failureAt30;  // mean of reliability@30 (probability of failure)
  double failureAt180;
  double failureAt365;
  double seuEvents;              // mean of seu_events at 365
  double sefiEvents;             // mean of sefi_events at 365
  double firingsPerReplication;  // expected "Actions fired" / replications
};

// Experiments 1, 5 and 9 (indices 0, 4, 8).
constexpr ExperimentExpectation kExpectations[] = {
    {0, 1, 1, 0.0772449, 0.3882274, 0.6314941, 4.93331e-6, 0.6321553, 2733.63},
    {4, 2, 2, 0.0059695, 0.1507199, 0.3987817, 1.97332e-5, 1.2643147, 2734.03},
    {8, 3, 3, 0.0004615, 0.0585142, 0.2518277, 4.43998e-5, 1.8964720, 2734.51},
};

// Flash corruption alone, P(tau <= t) = G(t)^D, for checking the parts:
// experiment 1 at 30/180/365: 0.0789129, 0.3893332, 0.6321602.
constexpr double kFlashCorruptedAt365Exp1 = 0.6321602;

// Variances for confidence intervals: reliability is a 0/1 indicator
// (variance p(1-p)); sefi_events is a sum of D independent Bernoulli(p)
// with p = sefiEvents / D (variance D p (1-p)). Firing counts have a
// standard deviation of about 62 per replication: each corrupting error
// also brings its watchdog reboot, so the count is about B1 + 2 B2 + 2 F
// for Poisson counts B1 ~ 1637, B2 ~ 546, F ~ 1.8 (variance ~ 3828).
constexpr double kFiringsStdDevPerReplication = 62.0;

}  // namespace analytic

#endif  // VELMOR_TESTS_MODELS_ANALYTICEXPECTATIONS_H

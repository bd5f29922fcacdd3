#!/usr/bin/python3
"""Regenerates the water, steam and gas property texts of proplib.txt from reference
formulations (see refprops.py) and checks them the way the program evaluates them.

usage: /usr/bin/python3 gen_proplib.py [--check]

Without --check the texts of records 0001 (water), 0002 (saturated steam), 0003 (air),
0004 (nitrogen) and 0005 (methane) are rewritten in proplib.txt in place; every other
line stays as it is. With --check nothing is written and the exit code is 1 when a text
misses its tolerance or differs from what the script would write.

Point tables are evaluated with a copy of the program's table interpolation (local
cubic Lagrange through two points below and two above; the first or last four points
outside the table), so the spacing chosen here is what the program delivers. Texts
must fit the library's 300-character field.
"""

import math
import sys

import numpy as np

import refprops as ref
from libtext import WIDTH, check_or_write, read_lines


# ---- the program's table interpolation --------------------------------------------------------

def interpolate(xs, ys, x):
    n = len(xs)
    lo, hi = 0, n - 1
    if n > 4:
        i = next((k for k in range(n) if x <= xs[k]), None)
        if i is not None:
            hi, lo = i + 1, i - 2
            if lo < 0:
                hi, lo = min(hi - lo, n - 1), 0
            elif hi > n - 1:
                lo, hi = max(lo - hi + n - 1, 0), n - 1
        else:
            hi, lo = n - 1, max(n - 4, 0)
    s = 0.0
    for i in range(lo, hi + 1):
        term = ys[i]
        for j in range(lo, hi + 1):
            if j != i:
                term *= (x - xs[j]) / (xs[i] - xs[j])
        s += term
    return s


def number(v, digits=5):
    """Shortest text of v with the given significant digits; E notation below 0.01."""
    if v != 0 and abs(v) < 0.01:
        m, e = ("%.*E" % (digits - 1, v)).split("E")
        m = m.rstrip("0").rstrip(".")
        return "%sE%d" % (m, int(e))
    s = "%.*g" % (digits, v)
    if "e" in s:
        s = "%.0f" % v
    return s


def table_text(ts, f, digits):
    return ";".join("%s,%s" % (number(t, 6), number(f(t), digits)) for t in ts)


def read_table(text):
    pts = [item.split(",") for item in text.split(";") if item]
    return [float(a) for a, _ in pts], [float(b) for _, b in pts]


def max_table_error(text, f, lo, hi, step=1.0):
    xs, ys = read_table(text)
    worst, at = 0.0, lo
    x = lo
    while x <= hi + 1e-9:
        err = abs(interpolate(xs, ys, x) / f(x) - 1)
        if err > worst:
            worst, at = err, x
        x += step
    return worst, at


def choose_table(f, lo, hi, target, digits=5, candidate_step=5.0, start_step=50.0, seeds=()):
    """Adds points where the interpolation misses most until the error is below target."""
    cands = [lo + k * candidate_step for k in range(int(round((hi - lo) / candidate_step)) + 1)]
    chosen = sorted({lo, hi} | set(seeds) |
                    {c for c in cands if abs((c - lo) / start_step - round((c - lo) / start_step)) < 1e-9})
    cache = {}

    def fv(t):
        if t not in cache:
            cache[t] = f(t)
        return cache[t]

    for _ in range(len(cands)):
        text = table_text(chosen, fv, digits)
        err, at = max_table_error(text, fv, lo, hi)
        if err <= target:
            return text, err
        free = [c for c in cands if c not in chosen]
        if not free:
            break
        chosen = sorted(chosen + [min(free, key=lambda c: abs(c - at))])
    text = table_text(chosen, fv, digits)
    return text, max_table_error(text, fv, lo, hi)[0]


# ---- gas formulas in T (K) and p (kPa) ---------------------------------------------------------

GAS_T = [t + 273.15 for t in range(-20, 301, 10)]
GAS_P = [100, 200, 400, 600, 800, 1000]


def fit_gas_formula(f, scale, k=2):
    """Relative least-squares fit of y = (a0 + a1*T + a2*T^2 + a3*T^3 + c*p/T^k) / scale."""
    rows, rhs = [], []
    for T in GAS_T:
        for p in GAS_P:
            y = f(T, p) * scale
            rows.append([1 / y, T / y, T * T / y, T ** 3 / y, p / T ** k / y])
            rhs.append(1.0)
    coef = np.linalg.lstsq(np.array(rows), np.array(rhs), rcond=None)[0]
    terms = ["", "*T", "*T^2", "*T^3", "*p/T^%d" % k]
    text = ""
    for c, term in zip(coef, terms):
        s = number(float(c), 7)
        text += (s if not text else (s if s.startswith("-") else "+" + s)) + term
    text = "(%s)*%s" % (text, number(1 / scale, 3))

    def model(T, p):
        a0, a1, a2, a3, c = coef
        return float((a0 + a1 * T + a2 * T * T + a3 * T ** 3 + c * p / T ** k) / scale)
    return text, model


def max_gas_error(model, f):
    worst = 0.0
    for T in [t + 273.15 for t in range(-20, 301, 5)]:
        for p in [100, 150, 300, 500, 700, 1000]:
            worst = max(worst, abs(model(T, p) / f(T, p) - 1))
    return worst


# ---- methane conductivity: NIST WebBook values at 0.1 MPa, extended by an Eucken form ----------

# NIST Chemistry WebBook, SRD 69 (methane, 0.1 MPa; Friend, Ely & Ingham 1989 correlation):
METHANE_TC_NIST = [(0, 0.0302), (25, 0.0342), (50, 0.0380), (100, 0.0460), (150, 0.0544), (200, 0.0631)]


methane_cv0 = ref.methane_cv0  # ideal-gas cv/R (Setzmann & Wagner 1991)


def methane_tc_model():
    """Modified Eucken form lambda = eta0/M * R * (A*cv0/R + B), fitted to the NIST values."""
    R, M = 8.314462, 0.0160428
    rows, rhs = [], []
    for t, lam in METHANE_TC_NIST:
        T = t + 273.15
        g = ref.methane_viscosity_dilute(T) / M * R
        rows.append([g * methane_cv0(T) / lam, g / lam])
        rhs.append(1.0)
    A, B = np.linalg.lstsq(np.array(rows), np.array(rhs), rcond=None)[0]
    return lambda T: float(ref.methane_viscosity_dilute(T) / M * R * (A * methane_cv0(T) + B))


# ---- the texts ----------------------------------------------------------------------------

def build():
    out, report = {}, []

    def C(T):
        return T + 273.15

    # Water, liquid 0-300 °C (the round points of 0-100 °C are kept).
    tol = {"MD": 0.005, "CP": 0.005, "VI": 0.02, "TC": 0.02, "ST": 0.005, "HV": 0.005}
    cache_w, cache_s = {}, {}

    def water(t):
        if t not in cache_w:
            cache_w[t] = ref.water_liquid(C(t))
        return cache_w[t]

    def steam(t):
        if t not in cache_s:
            cache_s[t] = ref.steam_saturated(C(t))
        return cache_s[t]

    for field in ["CP", "MD", "VI", "TC", "ST", "HV"]:
        text, err = choose_table(lambda t: water(t)[field], 0, 300, tol[field] / 10,
                                 seeds=range(0, 101, 10))
        out[("0001", field)] = text
        report.append(("0001", field, err, tol[field], len(text)))
    for field in ["CP", "MD", "VI", "TC", "HV"]:
        text, err = choose_table(lambda t: steam(t)[field], 100, 300, tol[field] / 10)
        out[("0002", field)] = text
        report.append(("0002", field, err, tol[field], len(text)))

    # Air and nitrogen: viscosity and conductivity as formulas in T and p.
    for no, fn in [("0003", ref.air), ("0004", ref.nitrogen)]:
        for field, scale in [("VI", 1e6), ("TC", 1e3)]:
            text, model = fit_gas_formula(lambda T, p: fn(T, p)[field], scale)
            err = max_gas_error(model, lambda T, p: fn(T, p)[field])
            out[(no, field)] = text
            report.append((no, field, err, 0.03, len(text)))

    # Heat capacities of the three gases as formulas in T and p; the pressure term goes
    # with the second virial coefficient's curvature, hence p/T^3.
    cache_g = {}
    for no, fn in [("0003", ref.air), ("0004", ref.nitrogen), ("0005", ref.methane)]:
        def cp(T, p, fn=fn, no=no):
            key = (no, T, p)
            if key not in cache_g:
                cache_g[key] = fn(T, p)["CP"]
            return cache_g[key]
        text, model = fit_gas_formula(cp, 1e-3, k=3)
        err = max_gas_error(model, cp)
        out[(no, "CP")] = text
        report.append((no, "CP", err, 0.01, len(text)))

    # Methane viscosity, dilute gas and friction term, as a formula in T and p.
    text, model = fit_gas_formula(ref.methane_viscosity, 1e6)
    err = max_gas_error(model, ref.methane_viscosity)
    out[("0005", "VI")] = text
    report.append(("0005", "VI", err, 0.03, len(text)))
    # Methane conductivity: the NIST values as they stand, extended to -20 °C and to
    # 250 and 300 °C by the Eucken form scaled to meet the nearest NIST value.
    lam = methane_tc_model()
    pts = dict(METHANE_TC_NIST)
    low, high = METHANE_TC_NIST[0], METHANE_TC_NIST[-1]
    pts[-20] = lam(C(-20)) * low[1] / lam(C(low[0]))
    for t in (250, 300):
        pts[t] = lam(C(t)) * high[1] / lam(C(high[0]))
    ts = sorted(pts)
    text = table_text(ts, lambda t: pts[t], 3)
    err = max(abs(interpolate(*read_table(text), t) / v - 1) for t, v in METHANE_TC_NIST)
    out[("0005", "TC")] = text
    report.append(("0005", "TC", err, 0.03, len(text)))
    return out, report


def rewrite(lines, texts):
    """Replaces FIELD= lines of the given records; a missing field goes before NT."""
    result, current = [], None
    pending = {}
    for line in lines:
        s = line.strip()
        if s.startswith("[") and s.endswith("]"):
            current = s[1:-1]
            pending = {f: t for (no, f), t in texts.items() if no == current}
            result.append(line)
            continue
        if current and "=" in s and not s.startswith("#"):
            field = s.split("=", 1)[0].strip()
            if field == "NT":
                for f, t in list(pending.items()):
                    result.append("%s=%s\n" % (f, t))
                    del pending[f]
            if field in pending:
                result.append("%s=%s\n" % (field, pending.pop(field)))
                continue
        result.append(line)
    return result


def main():
    check = "--check" in sys.argv[1:]
    texts, report = build()
    ok = True
    for no, field, err, tol, length in report:
        bad = err > tol or length > WIDTH
        ok &= not bad
        print("%s %-2s max error %.3f %% (tolerance %.1f %%), %d characters%s"
              % (no, field, err * 100, tol * 100, length, "  <-- FAILS" if bad else ""))
    lines = read_lines()
    ok = check_or_write(rewrite(lines, texts), lines, check, ok)
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())

"""Reference property functions used to generate and check the shipped library.

Water and steam come from the python3-iapws package (IAPWS-95 for the thermodynamic
properties, IAPWS 2008 viscosity, IAPWS 2011 thermal conductivity, IAPWS 2014 surface
tension). Air comes from the same package (Lemmon et al. 2000 equation of state,
Lemmon & Jacobsen 2004 transport). Nitrogen and methane are written out here from the
published coefficients:

  nitrogen density   Span, Lemmon, Jacobsen, Wagner, Yokozeki, J. Phys. Chem. Ref. Data
                     29 (2000) 1361, residual Helmholtz energy, Table 17
  nitrogen transport Lemmon & Jacobsen, Int. J. Thermophys. 25 (2004) 21, Tables 1-4
                     (dilute gas, residual; the critical enhancement is negligible in
                     the gas above 250 K and is left out)
  methane density    Setzmann & Wagner, J. Phys. Chem. Ref. Data 20 (1991) 1061
  methane viscosity  Quinones-Cisneros & Deiters, J. Phys. Chem. B 110 (2006) 12820:
                     dilute gas and friction-theory term

All functions take T in K and p in kPa and return SI values.
"""

import math

try:
    from iapws import IAPWS95
    from iapws._iapws import _Tension
    from iapws.humidAir import Air
except ImportError as e:  # pragma: no cover
    raise SystemExit("python3-iapws is needed (Debian package python3-iapws; run with /usr/bin/python3): %s" % e)


# ---- water and steam on the saturation line -------------------------------------------------

def _sat(T, x):
    # IAPWS-95 is valid from the triple point 273.16 K; 0 °C is taken there.
    return IAPWS95(T=max(T, 273.16), x=x)


def water_liquid(T):
    """Liquid water on the saturation line, and at atmospheric pressure (101.325 kPa)
    below 100 °C, where a vessel is open: dict of MD, CP, VI, TC, ST, HV (SI units).
    The two differ by less than 0.01 % below 100 °C. The latent heat and the surface
    tension are saturation properties at T."""
    l, v = _sat(T, 0), _sat(T, 1)
    if l.P < 0.101325:
        l = IAPWS95(T=T, P=0.101325)
    return {"MD": l.rho, "CP": l.cp * 1e3, "VI": l.mu, "TC": l.k,
            "ST": _Tension(max(T, 273.16)), "HV": (v.h - _sat(T, 0).h) * 1e3}


def steam_saturated(T):
    """Saturated steam: dict of MD, CP, VI, TC, HV (SI units)."""
    l, v = _sat(T, 0), _sat(T, 1)
    return {"MD": v.rho, "CP": v.cp * 1e3, "VI": v.mu, "TC": v.k, "HV": (v.h - l.h) * 1e3}


def saturation_pressure_kpa(T):
    return _sat(T, 0).P * 1e3


# ---- air -------------------------------------------------------------------------------------

def air(T, p_kpa):
    a = Air(T=T, P=p_kpa / 1000.0)
    return {"MD": a.rho, "VI": a.mu, "TC": a.k, "CP": a.cp * 1e3}


# ---- a residual Helmholtz energy of power and Gaussian terms ----------------------------------

class HelmholtzGas:
    def __init__(self, Tc, rhoc_mol, R, M, power, gauss):
        self.Tc, self.rhoc, self.R, self.M = Tc, rhoc_mol, R, M
        self.power, self.gauss = power, gauss

    def dalphar_ddelta(self, delta, tau):
        s = 0.0
        for n, d, t, l in self.power:
            e = math.exp(-delta ** l) if l else 1.0
            s += n * tau ** t * e * delta ** (d - 1) * (d - (l * delta ** l if l else 0))
        for n, d, t, eta, eps, beta, gam in self.gauss:
            g = n * delta ** d * tau ** t * math.exp(-eta * (delta - eps) ** 2 - beta * (tau - gam) ** 2)
            s += g * (d / delta - 2 * eta * (delta - eps))
        return s

    def alphar(self, delta, tau):
        s = 0.0
        for n, d, t, l in self.power:
            s += n * delta ** d * tau ** t * (math.exp(-delta ** l) if l else 1.0)
        for n, d, t, eta, eps, beta, gam in self.gauss:
            s += n * delta ** d * tau ** t * math.exp(-eta * (delta - eps) ** 2 - beta * (tau - gam) ** 2)
        return s

    def cp(self, T, p_kpa, cv0_over_R):
        """Isobaric heat capacity in J/(kg·K); the derivatives of the residual Helmholtz
        energy by central differences, cv0/R of the ideal gas given."""
        rho = self.density(T, p_kpa) / self.M
        d, t = rho / self.rhoc, self.Tc / T
        h, k = 1e-4 * d, 1e-4 * t
        a = self.alphar
        ad = (a(d + h, t) - a(d - h, t)) / (2 * h)
        add = (a(d + h, t) - 2 * a(d, t) + a(d - h, t)) / h ** 2
        att = (a(d, t + k) - 2 * a(d, t) + a(d, t - k)) / k ** 2
        adt = (a(d + h, t + k) - a(d + h, t - k) - a(d - h, t + k) + a(d - h, t - k)) / (4 * h * k)
        cv = cv0_over_R - t * t * att
        cp = cv + (1 + d * ad - d * t * adt) ** 2 / (1 + 2 * d * ad + d * d * add)
        return cp * self.R / self.M

    def density(self, T, p_kpa):
        """Mass density in kg/m3 of the gas at T (K) and p (kPa)."""
        P = p_kpa * 1e3
        tau = self.Tc / T
        rho = P / (self.R * T)  # mol/m3, ideal-gas start
        for _ in range(100):
            delta = rho / self.rhoc
            z = 1 + delta * self.dalphar_ddelta(delta, tau)
            new = P / (self.R * T * z)
            if abs(new - rho) < 1e-12 * rho:
                rho = new
                break
            rho = new
        return rho * self.M


def _power(n, d, t, l):
    return list(zip(n, d, t, l))


NITROGEN_EOS = HelmholtzGas(
    Tc=126.192, rhoc_mol=11183.9, R=8.31451, M=0.02801348,
    power=_power(
        [0.924803575275, -0.492448489428, 0.661883336938, -1.92902649201, -0.0622469309629,
         0.349943957581, 0.564857472498, -1.61720005987, -0.481395031883, 0.421150636384,
         -0.0161962230825, 0.172100994165, 0.00735448924933, 0.0168077305479,
         -0.00107626664179, -0.0137318088513, 0.000635466899859, 0.00304432279419,
         -0.0435762336045, -0.0723174889316, 0.0389644315272, -0.021220136391,
         0.00408822981509, -5.51990017984e-05, -0.0462016716479, -0.00300311716011,
         0.0368825891208, -0.0025585684622, 0.00896915264558, -0.0044151337035,
         0.00133722924858, 0.000264832491957],
        [1, 1, 2, 2, 3, 3, 1, 1, 1, 3, 3, 4, 6, 6, 7, 7, 8, 8, 1, 2, 3, 4, 5, 8, 4, 5, 5, 8, 3, 5, 6, 9],
        [0.25, 0.875, 0.5, 0.875, 0.375, 0.75, 0.5, 0.75, 2, 1.25, 3.5, 1, 0.5, 3, 0, 2.75, 0.75,
         2.5, 4, 6, 6, 3, 3, 6, 16, 11, 15, 12, 12, 7, 4, 16],
        [0] * 6 + [1] * 12 + [2] * 6 + [3] * 4 + [4] * 4),
    gauss=[(19.6688194015, 1, 0, 20, 1, 325, 1.16), (-20.911560073, 1, 1, 20, 1, 325, 1.16),
           (0.0167788306989, 3, 2, 15, 1, 300, 1.13), (2627.67566274, 2, 3, 25, 1, 275, 1.25)])

METHANE_EOS = HelmholtzGas(
    Tc=190.564, rhoc_mol=10139.128, R=8.31451, M=0.0160428,
    power=_power(
        [0.04367901028, 0.6709236199, -1.765577859, 0.8582330241, -1.206513052, 0.512046722,
         -0.0004000010791, -0.01247842423, 0.03100269701, 0.001754748522, -3.171921605e-06,
         -2.24034684e-06, 2.947056156e-07, 0.1830487909, 0.1511883679, -0.4289363877,
         0.06894002446, -0.01408313996, -0.0306305483, -0.02969906708, -0.01932040831,
         -0.1105739959, 0.09952548995, 0.008548437825, -0.06150555662, -0.04291792423,
         -0.0181320729, 0.0344590476, -0.00238591945, -0.01159094939, 0.06641693602,
         -0.0237154959, -0.03961624905, -0.01387292044, 0.03389489599, -0.002927378753],
        [1, 1, 1, 2, 2, 2, 2, 3, 4, 4, 8, 9, 10, 1, 1, 1, 2, 4, 5, 6, 1, 2, 3, 4, 4, 3, 5, 5, 8,
         2, 3, 4, 4, 4, 5, 6],
        [-0.5, 0.5, 1, 0.5, 1, 1.5, 4.5, 0, 1, 3, 1, 3, 3, 0, 1, 2, 0, 0, 2, 2, 5, 5, 5, 2, 4, 12,
         8, 10, 10, 10, 14, 12, 18, 22, 18, 14],
        [0] * 13 + [1] * 7 + [2] * 5 + [3] * 4 + [4] * 7),
    gauss=[(9.324799946e-05, 2, 2, 20, 1, 200, 1.07), (-6.287171518, 0, 0, 40, 1, 250, 1.11),
           (12.71069467, 0, 1, 40, 1, 250, 1.11), (-6.423953466, 0, 2, 40, 1, 250, 1.11)])


# ---- nitrogen transport (Lemmon & Jacobsen 2004) ------------------------------------------------

def _omega(Tstar):
    b = [0.431, -0.4623, 0.08406, 0.005341, -0.00331]
    x = math.log(Tstar)
    return math.exp(sum(bi * x ** i for i, bi in enumerate(b)))


def nitrogen(T, p_kpa):
    M, sigma, epsk, Tc, rhoc = 28.01348, 0.3656, 98.94, 126.192, 11.1839
    rho = NITROGEN_EOS.density(T, p_kpa)
    delta = rho / M / rhoc  # rho kg/m3 / M g/mol = mol/L
    tau = Tc / T
    eta0 = 0.0266958 * math.sqrt(M * T) / (sigma ** 2 * _omega(T / epsk))  # µPa·s
    visc = [(10.72, 0.1, 2, 0), (0.03989, 0.25, 10, 1), (0.001208, 3.2, 12, 1),
            (-7.402, 0.9, 2, 2), (4.620, 0.3, 1, 3)]
    etar = sum(n * tau ** t * delta ** d * (math.exp(-delta ** l) if l else 1.0) for n, t, d, l in visc)
    lam0 = 1.511 * eta0 + 2.117 * tau ** -1.0 - 3.332 * tau ** -0.7  # mW/(m·K)
    cond = [(8.862, 0.0, 1, 0), (31.11, 0.03, 2, 0), (-73.13, 0.2, 3, 1), (20.03, 0.8, 4, 2),
            (-0.7096, 0.6, 8, 2), (0.2672, 1.9, 10, 2)]
    lamr = sum(n * tau ** t * delta ** d * (math.exp(-delta ** l) if l else 1.0) for n, t, d, l in cond)
    return {"MD": rho, "VI": (eta0 + etar) * 1e-6, "TC": (lam0 + lamr) * 1e-3,
            "CP": NITROGEN_EOS.cp(T, p_kpa, nitrogen_cv0(T))}


# ---- methane -------------------------------------------------------------------------------

def nitrogen_cv0(T):
    """Ideal-gas cv/R of nitrogen (Span et al. 2000)."""
    tau = 126.192 / T
    s = 2.5
    for n, t in [(-0.0001934819, -1), (-1.247742e-05, -2), (6.678326e-08, -3)]:
        s -= n * t * (t - 1) * tau ** t
    x = 26.65788 * tau
    return s + 1.012941 * x * x * math.exp(x) / (math.exp(x) - 1) ** 2


def methane_cv0(T):
    """Ideal-gas cv/R of methane (Setzmann & Wagner 1991, Planck-Einstein terms)."""
    s = 3.0016
    for n, th in zip([0.008449, 4.6942, 3.4865, 1.6572, 1.4115],
                     [3.400432401, 10.26951575, 20.43932747, 29.93744884, 79.13351945]):
        x = th * 190.564 / T
        s += n * x * x * math.exp(x) / (math.exp(x) - 1) ** 2
    return s


def methane_viscosity_dilute(T):
    Tr = T / 190.564
    return 2.60536e-6 - 1.85247e-5 * Tr ** 0.25 + 2.34216e-5 * Tr ** 0.5  # Pa·s


def methane_viscosity(T, p_kpa):
    """Dilute gas plus the friction-theory term of Quinones-Cisneros & Deiters 2006, with
    the repulsive and attractive pressures from the Setzmann & Wagner equation."""
    eos = METHANE_EOS
    rho = eos.density(T, p_kpa) / eos.M  # mol/m3
    d, t = rho / eos.rhoc, eos.Tc / T
    k = 1e-4 * t
    ad = lambda tt: (eos.alphar(d * (1 + 1e-5), tt) - eos.alphar(d * (1 - 1e-5), tt)) / (2e-5 * d)
    adt = (ad(t + k) - ad(t - k)) / (2 * k)
    pid = rho * eos.R * T / 1e5  # bar
    p = p_kpa / 100.0
    pr = pid * (1 + d * ad(t) - d * t * adt)
    pa, dpr = p - pr, pr - pid
    tau = 190.564 / T
    psi1, psi2 = math.exp(tau) - 1, math.exp(tau * tau) - 1

    def kappa(a, n):
        return (a[0] + a[1] * psi1 + a[2] * psi2) * tau ** n
    ki = kappa([3.49668e-8, -1.73176e-8, 0], 1)
    ka = kappa([-3.12118e-8, 1.99422e-10, 0], 1)
    kr = kappa([5.98858e-8, -4.91143e-8, 0], 1)
    kaa = kappa([-8.52992e-13, -3.58009e-13, 0], 3)
    kdrdr = kappa([1.60099e-11, 8.50221e-13, 0], 3)
    kii = kappa([-3.55631e-10, 2.80326e-10, 0], 3)
    eta_f = ka * pa + kr * dpr + ki * pid + kaa * pa * pa + kdrdr * dpr * dpr + kii * pid * pid
    return methane_viscosity_dilute(T) + eta_f


def methane(T, p_kpa):
    return {"MD": METHANE_EOS.density(T, p_kpa), "VI": methane_viscosity(T, p_kpa),
            "CP": METHANE_EOS.cp(T, p_kpa, methane_cv0(T))}

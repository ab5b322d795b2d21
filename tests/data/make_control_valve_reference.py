#!/usr/bin/python3
"""Reference flow coefficients of control valves by IEC 60534-2-1, from
Debian's python3-fluids (fluids.control_valve.size_control_valve_l and
size_control_valve_g), on generated liquid and gas cases: turbulent,
choked, with reducers, transitional and laminar, with the gas flow given in
each of its four forms.

Regenerate with:
    /usr/bin/python3 tests/data/make_control_valve_reference.py > tests/data/control_valve_reference.csv

Each row holds a case in the units the program takes (pressures in bar a,
liquid and volume flows in m3/h, mass flows in kg/h, kinematic viscosity in
cSt, dynamic viscosity in uPa s, temperature in K, diameters in mm) and two
results:

kv_fluids  fluids' own answer (empty where fluids' rule for the trim would
           take the other trim than the row's, see below).
kv_program the answer as the program reads the standard, worked out here
           with fluids' building blocks (Reynolds_valve, Reynolds_factor,
           loss_coefficient_piping, FF_critical_pressure_ratio_l):
           - the piping geometry factor's iteration runs to its fixed
             point (fluids stops at the first assumed C within 1 %);
           - with reducers, the gas expansion factor Y takes xTP (fluids
             takes xT);
           - the Reynolds number factor's trial Ci is accepted where the
             turbulent C divided by FR is at most Ci (fluids divides the
             previous trial's C by FR from the second trial on), and FR is
             at most 1;
           - a gas's Reynolds number is taken at the actual flow with the
             inlet viscosity: Q1 / nu1 = W / mu.
           Also its factors: fp, fr, rev, y, x, choked and the regime.

fluids takes a gas flow only as a volume flow at 0 degC and 1 atm, and its
Reynolds number divides that flow by the inlet kinematic viscosity.  A
gas row in another form is therefore handed to fluids as the 0 degC flow
that gives the same term in the standard's equation (equations (6), (7)
and (8) with N6, N8 and N9 at 15 degC put into the form of equation (8)
with N9 at 0 degC), and with the viscosity that gives the same W / mu; the
rows marked "standard" in fluids_reynolds hand fluids the row's flow and
viscosity as they are (fluids' own reading of the Reynolds number).

fluids chooses the trim by C/d^2 (reduced above 0.016 N18); a
non-turbulent row's trim is the one fluids took at every trial.
"""
import math

import fluids
from fluids.constants import R
from fluids.control_valve import (FF_critical_pressure_ratio_l, N1, N2, N4, N5, N9, N18, Reynolds_factor,
                                  Reynolds_valve, loss_coefficient_piping, rho0, size_control_valve_g,
                                  size_control_valve_l)

# The standard's constants that fluids does not hold (kPa, as fluids).
N6 = 3.16        # kg/h, kPa, kg/m3
N8 = 1.10        # kg/h, kPa, K
N9_15 = 26.0     # m3/h, kPa, K, at 15 degC
P_N = 101325.0   # Pa, the standard conditions' pressure
T_N = {"normal": 273.15, "standard": 288.15}

def trial_trims(c0, d, steps):
    """The trims fluids took at its trials 1.3 C0, 1.69 C0, ..."""
    trims = set()
    ci = c0
    for _ in range(steps):
        ci = 1.3 * ci
        trims.add("reduced" if ci / d**2 > 0.016 * N18 else "full")
    return trims


def fr_of(fl, c, d, rev, trim):
    """FR and whether its laminar branch gives it (FR at most 1)."""
    fr = min(Reynolds_factor(FL=fl, C=c, d=d, Rev=rev, full_trim=trim == "full"), 1.0)
    if trim == "full":
        n = N2 / min(c / d**2, 0.04)**2
    else:
        n = 1 + 140.0 * (c / d**2)**(2 / 3.)
    laminar = min(0.026 / fl * math.sqrt(n * rev), 1.0)
    return fr, rev < 10 or math.isclose(fr, laminar, rel_tol=1e-12)


def non_turbulent(c0, reynolds, fl, d, trim):
    """The standard's steps: Ci = 1.3 C, up by 30 % until C / FR <= Ci."""
    ci = 1.3 * c0
    for _ in range(200):
        rev = reynolds(ci)
        fr, laminar = fr_of(fl, ci, d, rev, trim)
        if c0 / fr <= ci:
            return ci, fr, rev, "laminar" if laminar else "transitional"
        ci = 1.3 * ci
    raise ValueError("no Ci")


def fixed_point(c0, step):
    """The piping factor's iteration to the C it was computed with (until a
    pass changes C by no more than its rounding)."""
    ci, change = c0, math.inf
    for _ in range(100000):
        try:
            c, factors = step(ci)
        except (ZeroDivisionError, OverflowError):
            break
        last, change = change, abs(c - ci)
        if change <= 1e-15 * c or (change >= last and change <= 1e-9 * c):
            return c, factors
        ci = c
    raise ValueError("no fixed point")


def liquid_program(p1, p2, q, rho, pv, pc, nu, fl, fd, d, d1, d2, trim):
    P1, P2, Pv, Pc = p1 * 100, p2 * 100, pv * 100, pc * 100
    dp = P1 - P2
    ff = FF_critical_pressure_ratio_l(Pv, Pc)
    limit = P1 - ff * Pv
    choked = dp >= fl * fl * limit
    c0 = q / N1 / fl * math.sqrt(rho / rho0 / limit) if choked else q / N1 * math.sqrt(rho / rho0 / dp)
    rev = Reynolds_valve(nu * 1e-6, q, d1, fl, fd, c0)
    out = dict(fp=1.0, fr=1.0, rev=rev, y="", x="", choked=choked, regime="turbulent")
    if rev < 10000:
        kv, out["fr"], out["rev"], out["regime"] = non_turbulent(
            c0, lambda c: Reynolds_valve(nu * 1e-6, q, d1, fl, fd, c), fl, d, trim)
        return kv, out
    if d1 == d and d2 == d:
        return c0, out
    loss, up = loss_coefficient_piping(d, d1, d2), loss_coefficient_piping(d, d1)

    def step(ci):
        fp = 1 / math.sqrt(1 + loss / N2 * (ci / d**2)**2)
        flp = fl / math.sqrt(1 + fl**2 / N2 * up * (ci / d**2)**2)
        ch = dp >= (flp / fp)**2 * limit
        c = q / N1 / flp * math.sqrt(rho / rho0 / limit) if ch else q / N1 / fp * math.sqrt(rho / rho0 / dp)
        return c, (fp, ch)
    kv, (out["fp"], out["choked"]) = fixed_point(c0, step)
    return kv, out


def gas_density(p_pa, m, z, t):
    return p_pa * m * 1e-3 / (z * R * t)


def gas_c(form, flow, fp, P1, y, xs, m, t, z, rho1):
    """C by equation (7) (mass flow), (6) (actual flow, W = Q1 rho1) or (8)."""
    if form == "mass":
        return flow / (N8 * fp * P1 * y) * math.sqrt(t * z / (xs * m))
    if form == "actual":
        return flow * rho1 / (N6 * fp * y) * math.sqrt(1 / (xs * P1 * rho1))
    n9 = N9 if form == "normal" else N9_15
    return flow / (n9 * fp * P1 * y) * math.sqrt(m * t * z / xs)


def mass_flow(form, flow, m, rho1):
    if form == "mass":
        return flow
    if form == "actual":
        return flow * rho1
    return flow * gas_density(P_N, m, 1.0, T_N[form])


def gas_program(form, p1, p2, flow, m, gamma, z, t, mu, fl, fd, xt, d, d1, d2, trim):
    P1 = p1 * 100
    x = (p1 - p2) / p1
    fg = gamma / 1.4
    rho1 = gas_density(p1 * 1e5, m, z, t)
    w = mass_flow(form, flow, m, rho1)
    xs = min(x, fg * xt)
    y = 1 - xs / (3 * fg * xt)
    c0 = gas_c(form, flow, 1.0, P1, y, xs, m, t, z, rho1)

    def reynolds(c):
        return Reynolds_valve(mu * 1e-6 / rho1, w / rho1, d1, fl, fd, c)
    out = dict(fp=1.0, fr=1.0, rev=reynolds(c0), y=y, x=x, choked=x >= fg * xt, regime="turbulent")
    if out["rev"] < 10000:
        kv, out["fr"], out["rev"], out["regime"] = non_turbulent(c0, reynolds, fl, d, trim)
        return kv, out
    if d1 == d and d2 == d:
        return c0, out
    loss, up = loss_coefficient_piping(d, d1, d2), loss_coefficient_piping(d, d1)

    def step(ci):
        fp = 1 / math.sqrt(1 + loss / N2 * (ci / d**2)**2)
        xtp = xt / fp**2 / (1 + xt * up / N5 * (ci / d**2)**2)
        xsp = min(x, fg * xtp)
        yp = 1 - xsp / (3 * fg * xtp)
        return gas_c(form, flow, fp, P1, yp, xsp, m, t, z, rho1), (fp, yp, x >= fg * xtp)
    kv, (out["fp"], out["y"], out["choked"]) = fixed_point(c0, step)
    return kv, out


def fluids_flow(form, flow, p1, m, t, z):
    """The 0 degC flow (m3/h) fluids takes for the same term of the equation."""
    if form == "normal":
        return flow
    if form == "standard":
        return flow * N9 / N9_15
    if form == "mass":
        return flow * N9 / (N8 * m)
    rho1 = gas_density(p1 * 1e5, m, z, t)
    return flow * rho1 / N6 * N9 * p1 * 100 / math.sqrt(rho1 * p1 * 100 * m * t * z)


rows = []


def liquid(p1, p2, q, rho, pv, pc, nu, fl, fd, d, d1, d2, trim="full"):
    try:
        kv, o = liquid_program(p1, p2, q, rho, pv, pc, nu, fl, fd, d, d1, d2, trim)
    except ValueError:
        return
    f = size_control_valve_l(rho=rho, Psat=pv * 1e5, Pc=pc * 1e5, mu=nu * 1e-6 * rho, P1=p1 * 1e5, P2=p2 * 1e5,
                             Q=q / 3600, D1=d1 / 1000, D2=d2 / 1000, d=d / 1000, FL=fl, Fd=fd, full_output=True)
    if "warning" in f:
        return
    kv_f = f["Kv"]
    if o["regime"] != "turbulent":
        c0 = size_control_valve_l(rho=rho, Psat=pv * 1e5, Pc=pc * 1e5, mu=nu * 1e-6 * rho, P1=p1 * 1e5,
                                  P2=p2 * 1e5, Q=q / 3600, FL=fl, Fd=fd)
        if trial_trims(c0, d, round(math.log(kv_f / c0) / math.log(1.3))) != {trim}:
            kv_f = ""
    rows.append(["liquid", "", "", p1, p2, q, rho, pv, pc, nu, "", "", "", "", "", fl, fd, "", d, d1, d2, trim,
                 kv_f, kv, o["fp"], o["fr"], o["rev"], o["y"], o["x"], int(o["choked"]), o["regime"]])


def gas(form, p1, p2, flow, m, gamma, z, t, mu, fl, fd, xt, d, d1, d2, trim="full", as_given=False):
    try:
        kv, o = gas_program(form, p1, p2, flow, m, gamma, z, t, mu, fl, fd, xt, d, d1, d2, trim)
    except ValueError:
        return
    q0 = fluids_flow(form, flow, p1, m, t, z)
    rho1 = gas_density(p1 * 1e5, m, z, t)
    mu_f = mu * 1e-6 if as_given else mu * 1e-6 * q0 * rho1 / mass_flow(form, flow, m, rho1)
    args = dict(T=t, MW=m, mu=mu_f, gamma=gamma, Z=z, P1=p1 * 1e5, P2=p2 * 1e5, Q=q0 / 3600, FL=fl, Fd=fd, xT=xt)
    f = size_control_valve_g(D1=d1 / 1000, D2=d2 / 1000, d=d / 1000, full_output=True, **args)
    if "warning" in f:
        return
    kv_f = f["Kv"]
    if f["laminar"]:
        c0 = size_control_valve_g(**args)
        if trial_trims(c0, d, round(math.log(kv_f / c0) / math.log(1.3))) != {trim}:
            kv_f = ""
    rows.append(["gas", form, "standard" if as_given else "actual", p1, p2, flow, "", "", "", "", m, gamma, z, t,
                 mu, fl, fd, xt, d, d1, d2, trim, kv_f, kv, o["fp"], o["fr"], o["rev"], o["y"], o["x"],
                 int(o["choked"]), o["regime"]])


# The worked examples as fluids' documentation quotes them: 1 and 2 (water),
# 3 (carbon dioxide through reducers), 4 (argon, small flow trim; fluids'
# own viscosity and reading of the Reynolds number, full and reduced trim).
liquid(6.8, 2.2, 360.0, 965.4, 0.701, 221.2, 3.1472e-4 / 965.4 * 1e6, 0.9, 0.46, 150.0, 150.0, 150.0)
liquid(6.8, 2.2, 360.0, 965.4, 0.701, 221.2, 3.1472e-4 / 965.4 * 1e6, 0.6, 0.98, 100.0, 100.0, 100.0)
gas("normal", 6.8, 3.1, 3800.0, 44.01, 1.30, 0.988, 433.0, 146.65, 0.85, 0.42, 0.60, 50.0, 80.0, 100.0, as_given=True)
gas("normal", 2.8, 1.3, 0.46, 39.95, 1.67, 1.0, 320.0, 56.25, 0.98, 0.07, 0.8, 15.0, 15.0, 15.0, as_given=True)
gas("normal", 2.8, 1.3, 0.46, 39.95, 1.67, 1.0, 320.0, 56.25, 0.98, 0.07, 0.8, 15.0, 15.0, 15.0, "reduced", True)

# Liquids, turbulent: choked and not, with and without reducers; the
# recovery factor taken in turn.
water = (965.4, 0.701, 221.2, 0.326)
geometries = [(150.0, 150.0, 150.0), (100.0, 150.0, 150.0), (80.0, 100.0, 150.0), (100.0, 100.0, 150.0),
              (50.0, 80.0, 50.0), (200.0, 250.0, 300.0)]
turn = 0
for p1, p2 in ((6.8, 2.2), (10.0, 9.0), (4.0, 0.5), (20.0, 1.0), (3.0, 0.9)):
    for q in (360.0, 40.0):
        for d, d1, d2 in geometries:
            turn += 1
            liquid(p1, p2, q, *water, (0.9, 0.6, 0.75)[turn % 3], 0.46, d, d1, d2)
# A hydrocarbon near its vapour pressure (FF well below 0.96).
for d, d1, d2 in geometries[:3]:
    liquid(12.0, 4.0, 150.0, 520.0, 8.5, 42.5, 0.25, 0.85, 0.7, d, d1, d2)

# Liquids, transitional and laminar: viscous oils in small valves.
for nu in (40.0, 300.0, 2500.0, 30000.0):
    for q in (0.3, 3.0, 25.0):
        for d, d1, d2 in ((25.0, 25.0, 25.0), (15.0, 15.0, 15.0), (40.0, 50.0, 80.0)):
            for trim in ("full", "reduced"):
                turn += 1
                liquid(6.0, 5.0, q, 870.0, 0.01, 20.0, nu, 0.9, (0.46, 0.1)[turn % 2], d, d1, d2, trim)

# Gases, turbulent, in each flow form; xT and the reducers taken in turn.
gases = [(44.01, 1.30, 0.988, 433.0, 20.0), (16.04, 1.31, 0.95, 300.0, 11.0), (28.96, 1.4, 1.0, 293.15, 18.1),
         (39.95, 1.67, 1.0, 320.0, 22.9)]
flows = {"normal": 3800.0, "standard": 4000.0, "mass": 5000.0, "actual": 900.0}
for form, flow in flows.items():
    for m, gamma, z, t, mu in gases:
        for p1, p2 in ((6.8, 3.1), (10.0, 9.0), (10.0, 2.0), (50.0, 20.0)):
            for i in range(2):
                turn += 1
                d, d1, d2 = geometries[turn % 4]
                gas(form, p1, p2, flow, m, gamma, z, t, mu, 0.85, 0.42, (0.6, 0.3, 0.8)[turn % 3], d, d1, d2)

# Gases, transitional and laminar: small flows through small valves.
for form, flow in (("normal", 0.05), ("mass", 0.02), ("standard", 0.4), ("actual", 0.1), ("normal", 2.0)):
    for m, gamma, z, t, mu in gases[1:]:
        for d, d1, d2 in ((15.0, 15.0, 15.0), (10.0, 15.0, 15.0)):
            for trim in ("full", "reduced"):
                turn += 1
                gas(form, 3.0, 2.0, flow, m, gamma, z, t, mu, 0.95, (0.07, 0.3)[turn % 2], 0.75, d, d1, d2, trim)

print("# Control valve Kv reference, python3-fluids %s, IEC 60534-2-1" % fluids.__version__)
print("# made by tests/data/make_control_valve_reference.py (see its header)")
print("# fluid,form,fluids_reynolds,p1,p2,flow,density,pv,pc,nu_cst,molar_mass,gamma,z,temperature_k,mu_upas,"
      "fl,fd,xt,d,d1,d2,trim,kv_fluids,kv_program,fp,fr,rev,y,x,choked,regime")
for r in rows:
    print(",".join(repr(v) if isinstance(v, float) else str(v) for v in r))

#!/usr/bin/python3
"""Reference values of liquid water from Debian's python3-iapws: IAPWS97
(IAPWS-IF97 region 1 and region 4) and its viscosity, which python3-iapws
computes by the IAPWS 2008 formulation without the critical enhancement
(iapws._iapws._Viscosity called without its phase arguments), over the
range the program offers: 0.01 to 200 degC, from the saturation pressure
to 100 bar a.

Regenerate with:
    /usr/bin/python3 tests/data/make_iapws_reference.py > tests/data/iapws_reference.csv

Columns: the temperature (degC); how the pressure was chosen: "saturation"
(saturated liquid, IAPWS97(x=0)), "default" (1.01325 bar a, or the
saturation pressure where higher) or "given"; the pressure (bar a); then
the density (kg/m3), the dynamic viscosity (Pa s) and the saturation
pressure (bar a).
"""
import iapws

ATM = 1.01325
PRESSURES = (0.5, 2.0, 5.0, 10.0, 20.0, 50.0, 100.0)
TEMPERATURES = [0.01] + list(range(1, 200, 2)) + [200]


def row(c, how, w):
    assert w.region == 1, (c, how)
    return (c, how, w.P * 10, w.rho, w.mu, iapws.iapws97._PSat_T(273.15 + c) * 10)


rows = []
for c in TEMPERATURES:
    T = 273.15 + c
    sat = iapws.IAPWS97(T=T, x=0)
    rows.append(row(c, "saturation", sat))
    ps = sat.P * 10
    rows.append(row(c, "default", sat if ps > ATM else iapws.IAPWS97(T=T, P=ATM / 10)))
    for p in PRESSURES:
        if p > ps:
            rows.append(row(c, "given", iapws.IAPWS97(T=T, P=p / 10)))

print("# IAPWS-IF97 and IAPWS 2008 viscosity reference, python3-iapws %s" % iapws.__version__)
print("# made by tests/data/make_iapws_reference.py (see its header)")
print("# celsius,how,pressure_bar_a,density_kg_m3,viscosity_pa_s,saturation_bar_a")
for c, how, p, rho, mu, ps in rows:
    print("%s,%s,%s" % (repr(float(c)), how, ",".join(repr(float(x)) for x in (p, rho, mu, ps))))

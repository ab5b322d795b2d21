#!/usr/bin/python3
"""Reference values of the isothermal flow equation for a compressible gas,
from Debian's python3-fluids (fluids.compressible.isothermal_gas and
P_isothermal_critical_flow).

Regenerate with:
    /usr/bin/python3 tests/data/make_isothermal_reference.py > tests/data/isothermal_reference.csv

Columns (SI): rho (kg/m3), fd, P1 (Pa), P2 (Pa), L (m), D (m), then the
mass flow m (kg/s) at P2, the critical outlet pressure Pcf (Pa), P2 again
as solved back from m, and L as solved back from m.
"""
import fluids
from fluids.compressible import isothermal_gas, P_isothermal_critical_flow

cases = []
for rho in (1.2, 11.3, 60.0):
    for fd in (0.00185, 0.012, 0.03):
        for P1, share in ((2.0e5, 0.05), (1.0e6, 0.1), (1.0e6, 0.4), (5.0e6, 0.02)):
            for L, D in ((10.0, 0.025), (1000.0, 0.5), (250.0, 0.1)):
                cases.append((rho, fd, P1, P1 * (1 - share), L, D))

print("# isothermal_gas reference, python3-fluids %s" % fluids.__version__)
print("# made by tests/data/make_isothermal_reference.py (see its header)")
print("# rho,fd,P1,P2,L,D,m,Pcf,P2_from_m,L_from_m")
for rho, fd, P1, P2, L, D in cases:
    Pcf = P_isothermal_critical_flow(P=P1, fd=fd, D=D, L=L)
    if P2 < Pcf:
        continue
    m = isothermal_gas(rho, fd, P1=P1, P2=P2, L=L, D=D)
    P2b = isothermal_gas(rho, fd, P1=P1, L=L, D=D, m=m)
    Lb = isothermal_gas(rho, fd, P1=P1, P2=P2, D=D, m=m)
    print(",".join(repr(float(x)) for x in (rho, fd, P1, P2, L, D, m, Pcf, P2b, Lb)))

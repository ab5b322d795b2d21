#!/usr/bin/python3
"""Reference resistance coefficients of the 2-K (Hooper) and 3-K (Darby)
methods, from Debian's python3-fluids (fluids.fittings.Hooper2K and
Darby3K), looked up by the method's own fitting names so that the
program's constants are checked too.

Regenerate with:
    /usr/bin/python3 tests/data/make_fittings_k_reference.py > tests/data/fittings_k_reference.csv

Columns: K table row, Reynolds number, internal diameter (inches), 2-K K,
3-K K (empty where the method has no constants for the fitting).
"""
import fluids
from fluids.fittings import Hooper2K, Darby3K

names = {
    1: ('Elbow, 90°, Standard (R/D = 1), Screwed', 'Elbow, 90°, threaded, standard, (r/D = 1)'),
    2: ('Elbow, 90°, Long-radius (R/D = 1.5), All types', 'Elbow, 90°, threaded, long radius, (r/D = 1.5)'),
    3: (None, 'Elbow, 90°, (r/D = 4)'),
    4: ('Elbow, 45°, Standard (R/D = 1), All types', 'Elbow, 45°, threaded standard, (r/D = 1)'),
    5: ('Elbow, 180°, Standard (R/D = 1), Flanged/welded', 'Elbow, 180°, threaded, close-return bend, (r/D = 1)'),
    6: ('Tee, Run, Screwed', 'Tee, Run-through, threaded, (r/D = 1)'),
    7: ('Elbow, Used as, Standard, Screwed', 'Tee, Through-branch, (as elbow), threaded, (r/D = 1)'),
    11: ('Valve, Ball, Reduced trim, Beta = 0.9', None),
    12: (None, 'Valve, Ball valve, standard, β = 1'),
    13: ('Valve, Check, Swing', 'Valve, Swing check'),
    15: ('Valve, Check, Lift', 'Valve, Lift check'),
    16: ('Valve, Gate, Full line size, Beta = 1', 'Valve, Gate valve, standard, β = 1'),
    20: ('Valve, Globe, Standard', 'Valve, Globe valve, standard, β = 1'),
    24: ('Valve, Globe, Angle or Y-type', 'Valve, Angle valve, 90°, full line size, β = 1'),
    28: ('Valve, Butterfly,', None),
}

print("# Hooper2K / Darby3K reference, python3-fluids %s" % fluids.__version__)
print("# made by tests/data/make_fittings_k_reference.py (see its header)")
print("# type,Re,D_inches,K_2K,K_3K")
for t, (hooper, darby) in sorted(names.items()):
    for Re in (50.0, 500.0, 2300.0, 1e4, 1e5, 1e6, 1e7):
        for D in (0.25, 0.5, 1.0, 2.0, 4.0, 8.0, 24.0):
            k2 = repr(float(Hooper2K(Di=D, Re=Re, name=hooper))) if hooper else ""
            k3 = repr(float(Darby3K(NPS=D, Re=Re, name=darby))) if darby else ""
            print("%d,%r,%r,%s,%s" % (t, Re, D, k2, k3))

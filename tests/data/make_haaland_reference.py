#!/usr/bin/python3
"""Reference Darcy friction factors in the turbulent zone, from Haaland's
formula as implemented by Debian's python3-fluids (fluids.friction.Haaland).

Regenerate with:
    /usr/bin/python3 tests/data/make_haaland_reference.py > tests/data/haaland_reference.csv

A relative roughness of 0 is evaluated at 3.7e-7: the program replaces a
roughness ratio (roughness / diameter / 3.7) that is not above 0 by 1e-7.
"""
import fluids
from fluids.friction import Haaland

reynolds = [3500, 4000, 5000, 7500, 1e4, 2e4, 5e4, 1e5, 2e5, 5e5,
            1e6, 2e6, 5e6, 1e7, 2e7, 5e7, 1e8]
roughness = [0, 1e-6, 3e-6, 1e-5, 3e-5, 1e-4, 3e-4, 1e-3, 3e-3,
             0.005, 0.01, 0.02, 0.03, 0.05]

print("# Haaland reference, python3-fluids %s: Re, relative roughness, Darcy f" % fluids.__version__)
print("# made by tests/data/make_haaland_reference.py (see its header)")
for eD in roughness:
    effective = eD if eD > 0 else 3.7e-7
    for Re in reynolds:
        print("%r,%r,%r" % (float(Re), float(eD), Haaland(Re, effective)))

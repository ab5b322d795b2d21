#!/usr/bin/python3
"""Reference Darcy friction factors from the Colebrook-White equation, as
solved by Debian's python3-fluids (fluids.friction.Colebrook, an exact
solution through the Lambert W function).

Regenerate with:
    /usr/bin/python3 tests/data/make_colebrook_reference.py > tests/data/colebrook_reference.csv
"""
import fluids
from fluids.friction import Colebrook

reynolds = [4000, 1e4, 5e4, 1e5, 1e6, 1e7, 1e8]
roughness = [0, 1e-6, 1e-5, 1e-4, 1e-3, 1e-2, 5e-2]
print("# Colebrook-White reference, python3-fluids %s: Re, relative roughness, Darcy f" % fluids.__version__)
for eD in roughness:
    for Re in reynolds:
        print("%r,%r,%r" % (float(Re), float(eD), Colebrook(Re, eD)))

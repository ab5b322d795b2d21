#!/usr/bin/python3
"""Reference resistance coefficients of the transitions of a pipe run, from
Debian's python3-fluids (fluids.fittings, method 'Rennels': Rennels &
Hudson, Pipe Flow: A Practical and Comprehensive Guide, 2012), and the
change of the velocity a K refers to (change_K_basis).

Regenerate with:
    /usr/bin/python3 tests/data/make_transitions_reference.py > tests/data/transitions_reference.csv

Columns: function, d1 and d2 (mm: upstream and downstream), included angle
(degrees), Darcy friction factor, K1 (change_K_basis only), result.
"""
import fluids
from fluids.fittings import (contraction_sharp, contraction_conical, diffuser_sharp,
                             diffuser_conical, change_K_basis)

# (larger, smaller) internal diameters, mm: beta from 0.1 to 0.99.
pairs = [(100.0, 10.0), (254.5, 52.5), (52.5, 20.9), (80.0, 40.0), (154.1, 102.3),
         (26.6, 20.9), (1000.0, 900.0), (50.0, 49.5)]
angles = [1.0, 5.0, 10.0, 15.0, 20.0, 25.0, 30.0, 45.0, 60.0, 75.0, 90.0, 120.0, 150.0, 180.0]
frictions = [0.0, 0.015, 0.0278, 0.064]

print("# Transition K reference, python3-fluids %s, method Rennels" % fluids.__version__)
print("# made by tests/data/make_transitions_reference.py (see its header)")
print("# function,d1,d2,angle,fd,k1,result")
for big, small in pairs:
    print("contraction_sharp,%r,%r,,,,%r" % (big, small, contraction_sharp(big, small, method='Rennels')))
    print("diffuser_sharp,%r,%r,,,,%r" % (small, big, diffuser_sharp(small, big, method='Rennels')))
    for a in angles:
        for fd in frictions:
            print("contraction_conical,%r,%r,%r,%r,,%r"
                  % (big, small, a, fd, contraction_conical(big, small, fd=fd, angle=a, method='Rennels')))
            print("diffuser_conical,%r,%r,%r,%r,,%r"
                  % (small, big, a, fd, diffuser_conical(small, big, angle=a, fd=fd, method='Rennels')))
    for k1 in (0.57, 1.0, 0.3125, 12.5):
        print("change_K_basis,%r,%r,,,%r,%r" % (small, big, k1, change_K_basis(k1, small, big)))
        print("change_K_basis,%r,%r,,,%r,%r" % (big, small, k1, change_K_basis(k1, big, small)))

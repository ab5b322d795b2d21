#!/usr/bin/python3
"""Reference heads and slopes (dh/dQ) of the element laws of a pipe system:
a pipe section with its fittings, a sudden or conical transition, the end
of a pipe at a vessel, and a pump.

The heads come from Debian's python3-fluids: velocity from the flow over
the area, fluids.core.Reynolds, fluids.friction.friction_laminar and
Haaland (the critical zone's straight line (Re - 1500) / 30000 has no
published form and is written out here), fluids.core.K_from_f,
fluids.fittings (method 'Rennels': contraction_sharp, contraction_conical,
diffuser_sharp, diffuser_conical, entrance_sharp, exit_normal) and
fluids.core.head_from_K with g = 9.81 m/s2.  A pump's head is its curve
worked by hand from its points (python arithmetic below).

The slopes are sympy's derivatives of the same equations with respect to
the flow Q in l/min, evaluated to 30 digits.  A transition's K is a
straight line in the friction factor fd, so its part dK/dfd is fluids'
K(fd = 1) - K(fd = 0) and the chain rule puts it together with sympy's
dfd/dQ of the smaller pipe.

A negative flow runs the other way: a pipe's head is odd in Q and its
slope even; a transition from d1 to d2 met by a negative flow is the
transition from d2 to d1; the end of a pipe at a vessel is an entrance for
the flow out of the vessel and an exit for the flow into it.

Regenerate with:
    /usr/bin/python3 tests/data/make_element_laws_reference.py > tests/data/element_laws_reference.csv

Columns: law, d1 and d2 (mm: the diameters a positive flow leaves and
enters), roughness (mm, of the pipe or of a transition's smaller pipe),
length (m), k (fittings K of a pipe; entrance K of a vessel end, whose
exit K is 1), angle (degrees, a conical transition's included angle),
viscosity (cSt), density (kg/m3), points (a pump's "flow:head" points at
speed 1, space-separated), speed (a pump's speed ratio), vessel ("start":
a positive flow leaves the vessel; "end": it enters it), q (l/min), head
(m), slope (m per l/min).
"""
import math

import fluids
import sympy
from fluids.core import K_from_f, Reynolds, head_from_K
from fluids.fittings import (contraction_conical, contraction_sharp, diffuser_conical,
                             diffuser_sharp, entrance_sharp, exit_normal)
from fluids.friction import Haaland, friction_laminar

G = 9.81
Q = sympy.Symbol('Q', positive=True)
DIGITS = 30


def area(d_mm):
    return math.pi / 4 * (d_mm / 1000) ** 2


def velocity(q, d_mm):
    return q / 60000 / area(d_mm)


def friction(re, ed):
    """fluids' Darcy friction factor by zone, as the program takes the zones."""
    if re <= 0:
        return 0.0
    if re <= 2300:
        return friction_laminar(re)
    if re < 3500:
        return (re - 1500) / 30000
    return Haaland(re, ed)


def friction_expr(re_value, d_mm, rough_mm, nu_cst):
    """sympy's friction factor of the zone that re_value lies in, in Q."""
    d = sympy.Rational(str(d_mm)) / 1000
    v = Q / 60000 / (sympy.pi / 4 * d ** 2)
    re = v * d / (sympy.Rational(str(nu_cst)) / 10 ** 6)
    if re_value <= 2300:
        return 64 / re, v
    if re_value < 3500:
        return (re - 1500) / 30000, v
    ed = sympy.Rational(str(rough_mm)) / sympy.Rational(str(d_mm))
    return (-sympy.Rational('1.8') * sympy.log((ed / sympy.Rational('3.7')) ** sympy.Rational('1.11')
                                               + sympy.Rational('6.9') / re, 10)) ** -2, v


def at(expr, q):
    if q == 0:
        return float(sympy.limit(expr, Q, 0, '+'))
    return float(sympy.N(expr.subs(Q, sympy.Rational(str(q))), DIGITS))


def pipe(d, e, length, k, nu, q):
    """A pipe section with fittings of total K: (head, slope)."""
    a = abs(q)
    v = velocity(a, d)
    re = Reynolds(V=v, D=d / 1000, nu=nu * 1e-6)
    fd = friction(re, e / d)
    h = head_from_K(K_from_f(fd, length, d / 1000) + k, v, g=G)
    f_expr, v_expr = friction_expr(re if a > 0 else 0, d, e, nu)
    h_expr = (f_expr * sympy.Rational(str(length)) / (sympy.Rational(str(d)) / 1000) + sympy.Rational(str(k))) \
        * v_expr ** 2 / (2 * sympy.Rational(str(G)))
    slope = at(sympy.diff(h_expr, Q), a)
    return math.copysign(h, q) if q != 0 else 0.0, slope


def transition_k(d1, d2, form, angle, fd):
    """fluids' K on the smaller pipe's velocity, flow from d1 into d2."""
    if d2 < d1:
        if form == 'sudden':
            return contraction_sharp(d1, d2, method='Rennels')
        return contraction_conical(d1, d2, fd=fd, angle=angle, method='Rennels')
    if form == 'sudden':
        return diffuser_sharp(d1, d2, method='Rennels')
    return diffuser_conical(d1, d2, angle=angle, fd=fd, method='Rennels')


def transition(d1, d2, form, angle, e, nu, q):
    """A transition met by flow q (negative: from d2 into d1): (head, slope)."""
    if q < 0:
        d1, d2 = d2, d1
    small = min(d1, d2)
    a = abs(q)
    v = velocity(a, small)
    re = Reynolds(V=v, D=small / 1000, nu=nu * 1e-6)
    fd = friction(re, e / small)
    k = transition_k(d1, d2, form, angle, fd)
    h = head_from_K(k, v, g=G)
    dk_dfd = transition_k(d1, d2, form, angle, 1.0) - transition_k(d1, d2, form, angle, 0.0)
    f_expr, v_expr = friction_expr(re, small, e, nu)
    velocity_head = v_expr ** 2 / (2 * sympy.Rational(str(G)))
    slope = dk_dfd * at(sympy.diff(f_expr, Q) * velocity_head, a) + k * at(sympy.diff(velocity_head, Q), a)
    return math.copysign(h, q), slope


def vessel(d, k_entrance, where, q):
    """The end of a pipe at a vessel: an entrance for the flow out of it."""
    out_of_vessel = (q >= 0) == (where == 'start')
    k = k_entrance if out_of_vessel else exit_normal()
    a = abs(q)
    h = head_from_K(k, velocity(a, d), g=G)
    v_expr = Q / 60000 / (sympy.pi / 4 * (sympy.Rational(str(d)) / 1000) ** 2)
    slope = at(sympy.diff(k * v_expr ** 2 / (2 * sympy.Rational(str(G))), Q), a)
    return math.copysign(h, q), slope


def pump(points, speed, q):
    """The pump's head and slope at q from its points moved by the affinity
    laws (flow x S, head x S^2): one point Q1, H1 gives h = 4/3 H1 - 1/3 H1
    (Q / Q1)^2; three from no flow h = A - B Q^C through them; otherwise
    straight lines between the points."""
    pts = [(sympy.Rational(str(f)) * sympy.Rational(str(speed)), sympy.Rational(str(h)) * sympy.Rational(str(speed)) ** 2)
           for f, h in points]
    if len(pts) == 1:
        q1, h1 = pts[0]
        expr = sympy.Rational(4, 3) * h1 - h1 / 3 * (Q / q1) ** 2
    elif len(pts) == 3 and pts[0][0] == 0:
        a = pts[0][1]
        (q1, h1), (q2, h2) = pts[1], pts[2]
        c = sympy.log((a - h2) / (a - h1)) / sympy.log(q2 / q1)
        b = (a - h1) / q1 ** c
        expr = a - b * Q ** c
    else:
        for (qa, ha), (qb, hb) in zip(pts, pts[1:]):
            if q <= qb:
                expr = ha + (hb - ha) * (Q - qa) / (qb - qa)
                break
    return at(expr, q), at(sympy.diff(expr, Q), q)


WATER = (1.004, 998.0)
OIL = (200.0, 880.0)


def flow_at_reynolds(re, d, nu):
    return re * nu * 1e-6 / (d / 1000) * area(d) * 60000


rows = []
# Pipes: turbulent water, laminar and turbulent oil, each side of the zone
# limits, no flow, and flows the other way.
for (nu, rho), d, e, length, k, flows in [
        (WATER, 52.5, 0.046, 30.0, 2.5, [400.0, -400.0, 0.0, 2.0, 60.0, 1500.0]),
        (OIL, 77.9, 0.046, 100.0, 0.0, [100.0, -100.0, 3000.0, 0.0]),
        (WATER, 26.6, 0.0015, 12.0, 0.75, [flow_at_reynolds(r, 26.6, 1.004) for r in (2299.0, 2301.0, 3000.0, 3499.0, 3501.0)]),
        (WATER, 254.5, 1.0, 500.0, 12.4, [25000.0, -25000.0])]:
    for q in flows:
        h, s = pipe(d, e, length, k, nu, q)
        rows.append(('pipe', d, '', e, length, k, '', nu, rho, '', '', '', q, h, s))
# Transitions: both forms both ways, each conical expansion branch, a
# laminar smaller pipe.
for (nu, rho), d1, d2, form, angle, e, flows in [
        (WATER, 77.9, 52.5, 'sudden', '', 0.046, [400.0, -400.0]),
        (WATER, 52.5, 77.9, 'sudden', '', 0.046, [400.0, -400.0]),
        (WATER, 77.9, 52.5, 'conical', 30.0, 0.046, [400.0, -400.0]),
        (WATER, 52.5, 77.9, 'conical', 10.0, 0.046, [400.0, -400.0]),
        (WATER, 52.5, 77.9, 'conical', 45.0, 0.046, [400.0]),
        (WATER, 52.5, 77.9, 'conical', 90.0, 0.046, [400.0]),
        (WATER, 20.9, 52.5, 'conical', 30.0, 0.046, [100.0, -100.0]),
        (WATER, 20.9, 52.5, 'conical', 120.0, 0.046, [100.0]),
        (OIL, 102.3, 52.5, 'conical', 60.0, 0.046, [200.0, -200.0]),
        (WATER, 26.6, 20.9, 'conical', 20.0, 0.0015, [flow_at_reynolds(3000.0, 20.9, 1.004)])]:
    for q in flows:
        h, s = transition(d1, d2, form, angle if angle != '' else 180.0, e, nu, q)
        rows.append(('transition_' + form, d1, d2, e, '', '', angle, nu, rho, '', '', '', q, h, s))
# The ends at a vessel: the source's (flow leaves it) and the sink's.
for d, k, where, q in [(52.5, entrance_sharp(method='Rennels'), 'start', 400.0),
                       (52.5, entrance_sharp(method='Rennels'), 'start', -400.0),
                       (77.9, 0.5, 'end', 400.0), (77.9, 0.5, 'end', -400.0), (77.9, 0.5, 'end', 0.0)]:
    h, s = vessel(d, k, where, q)
    rows.append(('vessel', d, '', '', '', k, '', '', '', '', '', where, q, h, s))
# Pumps: one point, three from no flow, straight lines; two speeds.
for points, speed, flows in [
        ([(500.0, 30.0)], 1.0, [0.0, 250.0, 500.0, 900.0]),
        ([(500.0, 30.0)], 0.9, [450.0]),
        ([(0.0, 40.0), (500.0, 30.0), (1000.0, 10.0)], 1.0, [0.0, 300.0, 500.0, 1000.0]),
        ([(0.0, 40.0), (500.0, 30.0), (1000.0, 10.0)], 1.1, [700.0]),
        ([(100.0, 35.0), (400.0, 30.0), (800.0, 18.0), (900.0, 12.0)], 1.0, [150.0, 400.0, 650.0, 880.0]),
        ([(100.0, 35.0), (400.0, 30.0), (800.0, 18.0), (900.0, 12.0)], 1.25, [700.0])]:
    for q in flows:
        h, s = pump(points, speed, q)
        text = ' '.join('%r:%r' % p for p in points)
        rows.append(('pump', '', '', '', '', '', '', '', '', text, speed, '', q, h, s))

print("# Element law reference, python3-fluids %s, sympy %s" % (fluids.__version__, sympy.__version__))
print("# made by tests/data/make_element_laws_reference.py (see its header)")
print("# law,d1,d2,roughness,length,k,angle,viscosity,density,points,speed,vessel,q,head,slope")
for row in rows:
    print(','.join('' if x == '' else (x if isinstance(x, str) else repr(float(x))) for x in row))

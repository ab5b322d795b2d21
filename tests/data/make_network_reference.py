#!/usr/bin/python3
"""Reference solutions of generated pipe networks: branched and looped
networks of pipes (with a fittings K), sudden and conical reducers, tanks at
different levels and surface pressures, junction demands, and a few pumps.

Every link's head loss comes from Debian's python3-fluids:
fluids.core.Reynolds, fluids.friction.friction_laminar and Haaland (the
critical zone's straight line (Re - 1500) / 30000 has no published form and
is written out here), fluids.core.K_from_f and head_from_K with g = 9.81
m/s2; a pipe's entry from a tank (K given, 0.57 fluids' entrance_sharp
(Rennels) by default) and exit into one (K given, 1 fluids' exit_normal)
by the direction of its flow; a reducer's K from fluids.fittings (method
'Rennels': contraction_sharp, contraction_conical, diffuser_sharp,
diffuser_conical) on the smaller pipe's velocity with the smaller pipe's
friction factor, the flow's direction choosing contraction or expansion; a
pump's head by straight lines between its points.

The network's equations are solved here, independently of the program:
unknowns are every junction's energy head and every link's flow; the
equations are each link's loss equal to its end heads' difference and each
junction's flows in less its flows out equal to its demand, solved by
scipy.optimize.root (method 'hybr', then 'lm') from heads at the tanks'
mean and flows of 1 l/min, to residuals below 1e-12 of the heads and flows.
A network whose solution puts a link within 1 % of a zone jump (Reynolds
number 2300 or 3500), or at a loss that its law also takes in another zone
(where the losses fall at the jumps two flows may balance the same heads),
a pump outside its points or against its flow, or that the root finder
does not solve, is drawn again.

Regenerate with:
    /usr/bin/python3 tests/data/make_network_reference.py > tests/data/network_reference.csv

Rows (the first column names the row's kind, the second the network):
  network,N,viscosity cSt,density kg/m3
  tank,N,node,elevation m,level m,pressure bar g
  junction,N,node,elevation m,demand l/min,energy head m (the solution)
  pipe,N,link,from,to,diameter mm,roughness mm,length m,fittings K,entry K,exit K,flow l/min (the solution)
  reducer,N,link,from,to,diameter at from mm,diameter at to mm,form,angle deg,roughness mm,flow l/min
  pump,N,link,from,to,points (flow:head ...),flow l/min
Nodes and links are counted from 0 in the order of their rows.
"""
import math
import random
import sys

import numpy
import scipy
import scipy.optimize
import fluids
from fluids.core import K_from_f, Reynolds, head_from_K
from fluids.fittings import (contraction_conical, contraction_sharp, diffuser_conical, diffuser_sharp,
                             entrance_sharp, exit_normal)
from fluids.friction import Haaland, friction_laminar

G = 9.81
NETWORKS = 30
SIZES = [26.6, 40.9, 52.5, 62.7, 77.9, 102.3, 128.2, 154.1]


def velocity(q, d_mm):
    return q / 60000 / (math.pi / 4 * (d_mm / 1000) ** 2)


def reynolds(q, d_mm, nu):
    return Reynolds(V=velocity(abs(q), d_mm), D=d_mm / 1000, nu=nu * 1e-6)


def friction(re, ed):
    if re <= 0:
        return 0.0
    if re <= 2300:
        return friction_laminar(re)
    if re < 3500:
        return (re - 1500) / 30000
    return Haaland(re, ed)


def pipe_loss(link, nu, q, tank_from, tank_to):
    d, e, length, k, k_in, k_out = (link[key] for key in ('d', 'e', 'length', 'k', 'entry', 'exit'))
    v = velocity(abs(q), d)
    fd = friction(reynolds(q, d, nu), e / d)
    h = head_from_K(K_from_f(fd, length, d / 1000) + k, v, g=G)
    # A tank end: an entrance for the flow out of the tank, an exit for the flow into it.
    if tank_from:
        h += head_from_K(k_in if q >= 0 else k_out, v, g=G)
    if tank_to:
        h += head_from_K(k_out if q >= 0 else k_in, v, g=G)
    return math.copysign(h, q)


def reducer_loss(link, nu, q):
    d1, d2 = (link['d1'], link['d2']) if q >= 0 else (link['d2'], link['d1'])
    small = min(d1, d2)
    fd = friction(reynolds(q, small, nu), link['e'] / small)
    if d2 < d1:
        k = (contraction_sharp(d1, d2, method='Rennels') if link['form'] == 'sudden'
             else contraction_conical(d1, d2, fd=fd, angle=link['angle'], method='Rennels'))
    else:
        k = (diffuser_sharp(d1, d2, method='Rennels') if link['form'] == 'sudden'
             else diffuser_conical(d1, d2, angle=link['angle'], fd=fd, method='Rennels'))
    return math.copysign(head_from_K(k, velocity(abs(q), small), g=G), q)


def pump_gain(points, q):
    for (q0, h0), (q1, h1) in zip(points, points[1:]):
        if q <= q1 or (q1, h1) == points[-1]:
            return h0 + (h1 - h0) * (q - q0) / (q1 - q0)


def draw_network(rng, index):
    oil = index % 3 == 1
    nu = rng.choice([rng.uniform(60, 300), rng.uniform(8, 30)]) if oil else 1.004
    density = 880.0 if oil else 998.2
    tanks = 1 + rng.randrange(3)
    junctions = 3 + rng.randrange(9)
    nodes = []
    for _ in range(tanks):
        level = rng.uniform(10, 60)
        nodes.append({'kind': 'tank', 'elevation': level - rng.uniform(0, 5), 'level': level,
                      'pressure': rng.choice([0.0, rng.uniform(0, 2)])})
    for _ in range(junctions):
        nodes.append({'kind': 'junction', 'elevation': rng.uniform(-5, 10),
                      'demand': rng.choice([0.0, rng.uniform(20, 400 if not oil else 150), -rng.uniform(0, 50)])})
    links = []

    def pipe(a, b):
        d = rng.choice(SIZES)
        return {'kind': 'pipe', 'from': a, 'to': b, 'd': d, 'e': rng.choice([0.046, 0.0015, 0.15]),
                'length': rng.uniform(5, 300), 'k': rng.choice([0.0, rng.uniform(0, 10)]),
                'entry': rng.choice([0.57, rng.uniform(0.03, 1)]), 'exit': rng.choice([1.0, rng.uniform(0.5, 1)])}

    # A tree from the first tank over the junctions, the other tanks joined to it, then loops.
    for j in range(tanks, len(nodes)):
        a = rng.randrange(0, j) if j > tanks else 0
        while nodes[a]['kind'] == 'tank' and a != 0:
            a = rng.randrange(0, j)
        if rng.random() < 0.15:
            d1, d2 = rng.sample(SIZES, 2)
            links.append({'kind': 'reducer', 'from': a, 'to': j, 'd1': d1, 'd2': d2,
                          'form': rng.choice(['sudden', 'conical']), 'angle': rng.uniform(10, 150),
                          'e': rng.choice([0.046, 0.0015])})
        else:
            links.append(pipe(a, j) if rng.random() < 0.5 else pipe(j, a))
    for t in range(1, tanks):
        links.append(pipe(t, rng.randrange(tanks, len(nodes))))
    for _ in range(rng.randrange(4)):
        a, b = rng.sample(range(tanks, len(nodes)), 2)
        links.append(pipe(a, b))
    if index % 5 == 2:
        # A pump from the first tank into a junction, through a suction pipe.
        suction = len(nodes)
        nodes.append({'kind': 'junction', 'elevation': nodes[0]['elevation'] - 2, 'demand': 0.0})
        links.append(pipe(0, suction))
        h0 = rng.uniform(30, 70)
        q1 = rng.uniform(400, 1500)
        points = [(0.0, h0), (q1, 0.85 * h0), (2 * q1, 0.55 * h0), (3 * q1, 0.1 * h0)]
        links.append({'kind': 'pump', 'from': suction, 'to': rng.randrange(tanks, suction), 'points': points})
    return nu, density, nodes, links


def solve(nu, density, nodes, links):
    rho_r = density / 1000
    fixed = {i: n['level'] + n['pressure'] * 1e5 / (rho_r * 1000 * G)
             for i, n in enumerate(nodes) if n['kind'] == 'tank'}
    free = [i for i, n in enumerate(nodes) if n['kind'] == 'junction']
    where = {n: k for k, n in enumerate(free)}
    m = len(links)

    def heads(x):
        return [fixed[i] if i in fixed else x[where[i]] for i in range(len(nodes))]

    def loss(link, q):
        if link['kind'] == 'pipe':
            return pipe_loss(link, nu, q, link['from'] in fixed, link['to'] in fixed)
        if link['kind'] == 'reducer':
            return reducer_loss(link, nu, q)
        return -pump_gain(link['points'], q)

    def residual(x):
        h = heads(x)
        q = x[len(free):]
        out = []
        for k, link in enumerate(links):
            out.append(loss(link, q[k]) - (h[link['from']] - h[link['to']]))
        balance = [-nodes[i]['demand'] for i in free]
        for k, link in enumerate(links):
            if link['to'] in where:
                balance[where[link['to']]] += q[k]
            if link['from'] in where:
                balance[where[link['from']]] -= q[k]
        return numpy.array(out + balance)

    start = numpy.array([sum(fixed.values()) / len(fixed)] * len(free) + [1.0] * m)
    for method in ('hybr', 'lm'):
        sol = scipy.optimize.root(residual, start, method=method, options={'xtol': 1e-15} if method == 'hybr'
                                  else {'xtol': 1e-15, 'ftol': 1e-15})
        x = sol.x
        h = heads(x)
        q = x[len(free):]
        scale_h = max(h) - min(h)
        scale_q = max(abs(v) for v in q) if m else 1
        r = residual(x)
        if all(abs(v) < 1e-12 * max(scale_h, 1) for v in r[:m]) and \
           all(abs(v) < 1e-12 * max(scale_q, 1) for v in r[m:]):
            return h, list(q)
    return None


def zone_flows(d, nu):
    """The flows (l/min) where the pipe's Reynolds number is 2300 and 3500."""
    return [re * nu * 1e-6 / (d / 1000) * 60000 * math.pi / 4 * (d / 1000) ** 2 for re in (2300, 3500)]


def acceptable(nu, nodes, links, q):
    """No pump outside its points; no link within 1 % of a zone jump, nor
    with a loss its law also takes in another zone (the losses fall at the
    jumps, so that two flows could balance the same heads)."""
    tanks = [i for i, n in enumerate(nodes) if n['kind'] == 'tank']
    for k, link in enumerate(links):
        if link['kind'] == 'pump':
            if not (0 < q[k] < link['points'][-1][0]):
                return False
            continue
        d = link['d'] if link['kind'] == 'pipe' else min(link['d1'], link['d2'])
        re = reynolds(q[k], d, nu)
        if any(abs(re - jump) < 0.01 * jump for jump in (2300, 3500)):
            return False
        if link['kind'] == 'pipe':
            def law(flow):
                return abs(pipe_loss(link, nu, math.copysign(flow, q[k]), link['from'] in tanks, link['to'] in tanks))
        else:
            def law(flow):
                return abs(reducer_loss(link, nu, math.copysign(flow, q[k])))
        low, high = zone_flows(d, nu)
        h = law(abs(q[k]))
        zones = [(1e-300, low), (low * (1 + 1e-12), high * (1 - 1e-12)), (high, math.inf)]
        own = 0 if abs(q[k]) <= low else 1 if abs(q[k]) < high else 2
        for z, (a, b) in enumerate(zones):
            if z != own and law(a) <= h <= (law(b) if b != math.inf else math.inf):
                return False
    return True


def main():
    out = sys.stdout
    out.write('# Network reference, python3-fluids %s, scipy %s\n' % (fluids.__version__, scipy.__version__))
    out.write('# made by tests/data/make_network_reference.py (see its header)\n')
    rng = random.Random(36)
    index = 0
    while index < NETWORKS:
        nu, density, nodes, links = draw_network(rng, index)
        solved = solve(nu, density, nodes, links)
        if solved is None or not acceptable(nu, nodes, links, solved[1]):
            continue
        h, q = solved
        out.write('network,%d,%r,%r\n' % (index, nu, density))
        for i, n in enumerate(nodes):
            if n['kind'] == 'tank':
                out.write('tank,%d,%d,%r,%r,%r\n' % (index, i, n['elevation'], n['level'], n['pressure']))
            else:
                out.write('junction,%d,%d,%r,%r,%r\n' % (index, i, n['elevation'], n['demand'], h[i]))
        for k, link in enumerate(links):
            if link['kind'] == 'pipe':
                out.write('pipe,%d,%d,%d,%d,%r,%r,%r,%r,%r,%r,%r\n' % (
                    index, k, link['from'], link['to'], link['d'], link['e'], link['length'], link['k'],
                    link['entry'], link['exit'], q[k]))
            elif link['kind'] == 'reducer':
                out.write('reducer,%d,%d,%d,%d,%r,%r,%s,%r,%r,%r\n' % (
                    index, k, link['from'], link['to'], link['d1'], link['d2'], link['form'], link['angle'],
                    link['e'], q[k]))
            else:
                points = ' '.join('%r:%r' % p for p in link['points'])
                out.write('pump,%d,%d,%d,%d,%s,%r\n' % (index, k, link['from'], link['to'], points, q[k]))
        index += 1


if __name__ == '__main__':
    main()

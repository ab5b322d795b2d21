#!/usr/bin/python3
"""Writes the stock data files that ship beside the program:

    CorvaneFluidsO.dat   fluids: code, name, temperature, viscosity (cSt), density
    CorvanePipeIDO.dat   pipes:  code, pipe type, nominal size, ID (mm), ID (inch)

Windows-1252 text, one record per line, five TAB-separated fields, CR LF.
Run from the repository's top folder with Debian's python3-fluids and
python3-iapws installed:

    /usr/bin/python3 data/make_stock_data.py

The sources of every table are named in data/README.md.
"""
import math
import os

import fluids
import fluids.piping as piping
import iapws

HERE = os.path.dirname(os.path.abspath(__file__))


def write(name, rows):
    with open(os.path.join(HERE, name), "wb") as f:
        for row in rows:
            line = "\t".join(str(x) for x in row)
            f.write(line.encode("cp1252") + b"\r\n")


def six(x):
    return "%.6f" % x


def three(x):
    return "%.3f" % x


def temp_text(c):
    return "%d\u00b0C (%d\u00b0F)" % (c, round(32 + 1.8 * c))


# ---------------------------------------------------------------- fluids
LIQUID, GAS = 10, 20
fluids_rows = []

# Water, 0 to 100 degC: IAPWS-95 density and IAPWS 2008 viscosity at
# 1 atm (saturated liquid at 100 degC).  The 20 degC row keeps the
# program's water default (1.004 cSt, 0.998).
for c in range(0, 101, 5):
    if c == 20:
        fluids_rows.append((LIQUID, "Water", temp_text(20), "1.004000", "0.998000"))
        continue
    w = iapws.IAPWS95(T=273.15 + c, x=0) if c == 100 else iapws.IAPWS95(T=273.15 + c, P=0.101325)
    fluids_rows.append((LIQUID, "Water", temp_text(c), six(w.mu / w.rho * 1e6), six(w.rho / 1000)))

# Sea water, absolute salinity 35.16504 g/kg: IAPWS-08 density; viscosity
# of pure water (IAPWS 2008) times Sharqawy et al. (2010) eq. 22.
S = 0.03516504
for c in range(0, 31, 5):
    sw = iapws.SeaWater(T=273.15 + c, P=0.101325, S=S)
    w = iapws.IAPWS95(T=273.15 + c, P=0.101325)
    a = 1.541 + 1.998e-2 * c - 9.52e-5 * c * c
    b = 7.974 - 7.561e-2 * c + 4.724e-4 * c * c
    mu = w.mu * (1 + a * S + b * S * S)
    fluids_rows.append((LIQUID, "Sea water", temp_text(c), six(mu / sw.rho * 1e6), six(sw.rho / 1000)))

# Hydraulic oils: ISO 3448 viscosity grades are the kinematic viscosity
# at 40 degC (mid-point); typical mineral oil density at 40 degC.
for vg in (10, 15, 22, 32, 46, 68, 100, 150, 220, 320, 460, 680):
    fluids_rows.append((LIQUID, "Hydraulic oil ISO VG %d" % vg, temp_text(40), six(vg), six(0.86)))

# Engine oils: SAE J300 (2015) high-temperature grades, mid-point of the
# kinematic viscosity range at 100 degC; typical density of hot oil.
for grade, low, high in ((20, 6.9, 9.3), (30, 9.3, 12.5), (40, 12.5, 16.3), (50, 16.3, 21.9), (60, 21.9, 26.1)):
    fluids_rows.append((LIQUID, "Engine oil SAE %d" % grade, temp_text(100), six((low + high) / 2), six(0.83)))

# Fuels: density mid-points of EN 228, EN 590 and DEF STAN 91-091 (15 degC);
# viscosity: EN 590 mid-point at 40 degC, typical values for petrol and
# kerosene at 20 degC.
fluids_rows += [
    (LIQUID, "Petrol (gasoline)", temp_text(20), six(0.6), six(0.7475)),
    (LIQUID, "Diesel fuel", temp_text(40), six(3.25), six(0.8325)),
    (LIQUID, "Kerosene / jet fuel", temp_text(20), six(1.5), six(0.8075)),
]

# Alcohols and glycol at 20 degC, CRC Handbook of Chemistry and Physics:
# dynamic viscosity (mPa s) and density (g/cm3); nu = mu / rho.
for name, mu, rho in (("Methanol", 0.59, 0.7914), ("Ethanol", 1.19, 0.7893), ("Isopropanol", 2.37, 0.7855),
                      ("Ethylene glycol", 19.9, 1.1135), ("Glycerol", 1412.0, 1.2613)):
    fluids_rows.append((LIQUID, name, temp_text(20), six(mu / rho), six(rho)))

# Glycol-water mixtures at 20 degC, by mass, ASHRAE Handbook - Fundamentals
# (2017), ch. 31, tables of ethylene and propylene glycol solutions.
for name, mu, rho in (("Ethylene glycol 30% / water", 2.2, 1.0385), ("Ethylene glycol 40% / water", 3.0, 1.0514),
                      ("Ethylene glycol 50% / water", 4.2, 1.0646), ("Propylene glycol 30% / water", 2.8, 1.0275),
                      ("Propylene glycol 40% / water", 4.3, 1.0350)):
    fluids_rows.append((LIQUID, name, temp_text(20), six(mu / rho), six(rho)))

# The eleven gases of the gas property calculator at 20 degC and 1 atm, by
# its own formulas (ideal gas, Sutherland); the temperature as the
# calculator writes it.  Air also keeps the program's default row.
GASES = (("Air", 286.9, 17.2, 120), ("Ammonia (NH3)", 488.1, 9.18, 370), ("Carbon dioxide (CO2)", 188.9, 13.72, 240),
         ("Carbon monoxide (CO)", 297.0, 16.62, 118), ("Helium (He)", 2077.0, 18.63, 128),
         ("Hydrogen (H2)", 4124.0, 8.35, 72), ("Methane (CH4)", 518.3, 10.27, 228), ("Nitrogen (N2)", 296.7, 16.57, 111),
         ("Oxygen (O2)", 259.8, 19.09, 127), ("Sulphur dioxide (SO2)", 130.0, 11.58, 416),
         ("Water vapour (H2O)", 462.0, 8.7, 220))
fluids_rows.append((GAS, "Air", temp_text(20), "15.100000", "1.204700"))
for name, r, mu0, s in GASES:
    t = 293.15
    rho = 101325 / r / t
    mu = mu0 * (273.15 + s) / (t + s) * (t / 273.15) ** 1.5
    fluids_rows.append((GAS, name, " 20\u00b0C (68.0\u00b0F)", six(mu / rho), six(rho)))

write("CorvaneFluidsO.dat", fluids_rows)

# ---------------------------------------------------------------- pipes
PIPE = 10
pipe_rows = []


def nps_text(nps):
    whole = int(nps)
    frac = nps - whole
    fracs = {0.125: "1/8", 0.25: "1/4", 0.375: "3/8", 0.5: "1/2", 0.625: "5/8", 0.75: "3/4"}
    if frac == 0:
        return '%d"' % whole
    if whole == 0:
        return '%s"' % fracs[frac]
    return '%d %s"' % (whole, fracs[frac])


def add_pipe(kind, nominal, od_mm, wall_mm):
    di = od_mm - 2 * wall_mm
    pipe_rows.append((PIPE, kind, nominal, three(di), three(di / 25.4)))


# Steel to ASME B36.10M and stainless steel to ASME B36.19M, and PVC to
# ASTM D1785: outside diameters and walls from fluids.piping, 1/8" to 24".
for key, kind in (("40", "Steel ASME B36.10M Sch 40"), ("80", "Steel ASME B36.10M Sch 80"),
                  ("10S", "Stainless ASME B36.19M Sch 10S"), ("40S", "Stainless ASME B36.19M Sch 40S"),
                  ("40D1785", "PVC ASTM D1785 Sch 40"), ("80D1785", "PVC ASTM D1785 Sch 80")):
    nps, di, do, t = piping.schedule_lookup[key]
    for n, o, w in zip(nps, do, t):
        if n <= 24:
            add_pipe(kind, nps_text(n), o, w)

# Copper tube to ASTM B88: outside diameter = nominal + 1/8 inch; walls
# (inch) of types K, L and M.
COPPER = ((0.25, .035, .030, None), (0.375, .049, .035, .025), (0.5, .049, .040, .028), (0.625, .049, .042, None),
          (0.75, .065, .045, .032), (1, .065, .050, .035), (1.25, .065, .055, .042), (1.5, .072, .060, .049),
          (2, .083, .070, .058), (2.5, .095, .080, .065), (3, .109, .090, .072), (3.5, .120, .100, .083),
          (4, .134, .110, .095), (5, .160, .125, .109), (6, .192, .140, .122), (8, .271, .200, .170),
          (10, .338, .250, .212), (12, .405, .280, .254))
for col, kind in ((1, "Copper ASTM B88 Type K"), (2, "Copper ASTM B88 Type L"), (3, "Copper ASTM B88 Type M")):
    for row in COPPER:
        if row[col] is not None:
            add_pipe(kind, nps_text(row[0]), (row[0] + 0.125) * 25.4, row[col] * 25.4)

# Steel tube to EN 10255, medium series: DN, outside diameter and wall (mm).
EN10255 = ((6, "1/8", 10.2, 2.0), (8, "1/4", 13.5, 2.3), (10, "3/8", 17.2, 2.3), (15, "1/2", 21.3, 2.6),
           (20, "3/4", 26.9, 2.6), (25, "1", 33.7, 3.2), (32, "1 1/4", 42.4, 3.2), (40, "1 1/2", 48.3, 3.2),
           (50, "2", 60.3, 3.6), (65, "2 1/2", 76.1, 3.6), (80, "3", 88.9, 4.0), (100, "4", 114.3, 4.5),
           (125, "5", 139.7, 5.0), (150, "6", 165.1, 5.0))
for dn, inch, od, wall in EN10255:
    add_pipe("Steel EN 10255 Medium", 'DN%d (%s")' % (dn, inch), od, wall)

# Polyethylene PE100 to EN 12201-2 / ISO 4427, nominal outside diameter and
# wall (mm) of SDR 11 and SDR 17 (ISO 4065 series).
PE_SDR11 = ((20, 2.0), (25, 2.3), (32, 3.0), (40, 3.7), (50, 4.6), (63, 5.8), (75, 6.8), (90, 8.2), (110, 10.0),
            (125, 11.4), (140, 12.7), (160, 14.6), (180, 16.4), (200, 18.2), (225, 20.5), (250, 22.7),
            (280, 25.4), (315, 28.6), (355, 32.2), (400, 36.3), (450, 40.9), (500, 45.4), (560, 50.8), (630, 57.2))
PE_SDR17 = ((32, 2.0), (40, 2.4), (50, 3.0), (63, 3.8), (75, 4.5), (90, 5.4), (110, 6.6), (125, 7.4), (140, 8.3),
            (160, 9.5), (180, 10.7), (200, 11.9), (225, 13.4), (250, 14.8), (280, 16.6), (315, 18.7), (355, 21.1),
            (400, 23.7), (450, 26.7), (500, 29.7), (560, 33.2), (630, 37.4))
for table, kind in ((PE_SDR11, "PE100 SDR 11"), (PE_SDR17, "PE100 SDR 17")):
    for od, wall in table:
        add_pipe(kind, "%d mm" % od, od, wall)

write("CorvanePipeIDO.dat", pipe_rows)
print("%d fluids, %d pipes (fluids %s, iapws %s)" % (len(fluids_rows), len(pipe_rows), fluids.__version__,
                                                    iapws.__version__))

#!/usr/bin/python3
"""Byte-identity check of corvane-cli across a change that must show nothing.

    tools/compare-outputs.py record CLI DIR     # generate the files, run CLI, keep every output in DIR
    tools/compare-outputs.py compare DIR1 DIR2  # byte for byte; exit 1 on any difference

`record` writes 10,000 panel files (all four panels, liquid and gas, metric
and imperial, fittings, odd and invalid values, broken files) into
DIR/files from a fixed seed, so that two recordings see the same bytes,
then runs `corvane-cli` in text and --json form, the sweeps, the pump
option and the error cases under LC_ALL=C, de_DE.UTF-8 and en_US.UTF-8,
and stores standard output, standard error and the exit status of each
command in DIR/out.  Run it before a change with the old program and after
it with the new one, into two folders, and compare them.

    tools/compare-outputs.py runs CLI DIR       # the same for pipe run files

`runs` writes the example runs and 1,000 generated run files (gravity and
pumped, flooded and suction lifts, sudden and conical transitions both
ways, fittings, pipes and fluids of the data bases, water by temperature,
flows given and solved, balances near the flow-zone limits, invalid
documents) into DIR/files, runs `corvane-cli run` in text and --json form
on each, and the calculation sheet of every tenth run as its text
(pdftotext, the date masked), and stores every output in DIR/out, to be
compared as above.
"""

import json
import os
import random
import re
import shutil
import subprocess
import sys

FILES = 10000
BATCH = 50
SEED = 23
LOCALES = ["C", "de_DE.UTF-8", "en_US.UTF-8"]

HEADERS = {1: "Corvane_Find_PD", 2: "Corvane_Find_FLOW", 3: "Corvane_Find_DIAMETER", 4: "Corvane_Find_LENGTH"}

# The lines after the first three, as each panel saves them.
LAYOUT = {
    1: ["material", "IRmm", "IDmm", "LengthM", "fittings", "Elevation", "RiseFall", "Flow", "FlowUnit",
        "GasFlowUnit", "Barg", "MhdBar", "FluidName", "Viscosity", "Density"],
    2: ["material", "IRmm", "IDmm", "LengthM", "fittings", "Elevation", "RiseFall", "Available", "MhdBar",
        "FlowUnit", "GasFlowUnit", "Barg", "FluidName", "Viscosity", "Density", "Allowable"],
    3: ["material", "IRmm", "LengthM", "fittings", "Elevation", "RiseFall", "Available", "MhdBar", "Flow",
        "FlowUnit", "GasFlowUnit", "Barg", "FluidName", "Viscosity", "Density", "Allowable"],
    4: ["material", "IRmm", "IDmm", "fittings", "Elevation", "RiseFall", "Available", "MhdBar", "Flow",
        "FlowUnit", "GasFlowUnit", "Barg", "FluidName", "Viscosity", "Density", "Allowable"],
}

RANGES = {"IRmm": (0.0005, 2.0), "IDmm": (2.0, 600.0), "LengthM": (0.5, 3000.0), "Elevation": (0.0, 80.0),
          "Flow": (0.5, 8000.0), "Barg": (0.05, 25.0), "Available": (0.5, 150.0), "Allowable": (0.05, 8.0)}

NAMES = [" Water @ 20\xb0C (68\xb0F)", " Air 20\xb0C (68\xb0F)", " Oil SAE 30", "", " M\xfcller \x80 fluid",
         " \t tab", " Diesel 15\xb0C"]

SWEPT = {1: ["IRmm_RightEdit1", "IDmm_RightEdit1", "LengthM_RightEdit1", "ElevationChange_RightEdit1",
             "VisibleFlowrateLMin_RightEdit1", "Barg_RightEdit1", "FluidViscosityRightEdit1"],
         2: ["IRmm_RightEdit2", "IDmm_RightEdit2", "LengthM_RightEdit2", "AvailablePressure_RightEdit2",
             "AllowablePressureLoss_RightEdit2", "Barg_RightEdit2", "FlowrateLMin_RightEdit2"],
         3: ["IRmm_RightEdit3", "LengthM_RightEdit3", "AvailablePressure_RightEdit3",
             "VisibleFlowrateLMin_RightEdit3", "AllowablePressureLoss_RightEdit3", "IDmm_RightEdit3"],
         4: ["IRmm_RightEdit4", "IDmm_RightEdit4", "AvailablePressure_RightEdit4",
             "VisibleFlowrateLMin_RightEdit4", "ElevationChange_RightEdit4", "PipeLength_RightEdit4"]}


def number(rng, lo, hi):
    r = rng.random()
    if r < 0.88:
        text = "%.*f" % (rng.choice([0, 1, 2, 3, 3, 3, 4, 6]), rng.uniform(lo, hi))
    elif r < 0.92:
        text = "%.3f" % rng.uniform(lo, hi)
        text = text.replace(".", ",")
    else:
        text = rng.choice(["0", "0.000", "", "?", "-3.5", "1e3", "abc", "12345678901234567890.5",
                           "0.0000001", " 5", "5.", ".5", "1.2.3", "999999999", "-0.001"])
    return text


def fittings(rng):
    r = rng.random()
    fields = ["0"] * 27 + ["0.00"]
    if r < 0.3:
        return "\t".join(fields) + "\t"
    for i in range(4):
        if rng.random() < 0.3:
            fields[i] = str(rng.randint(0, 3))
    for i in range(4, 27):
        if rng.random() < 0.25:
            fields[i] = str(rng.randint(0, 6))
    if rng.random() < 0.3:
        fields[27] = "%.2f" % rng.uniform(0, 20)
    if r > 0.97:
        fields[rng.randint(4, 26)] = rng.choice(["x", "1.5", "-2", " 3"])
    if r > 0.95 and r <= 0.97:
        fields = fields[: rng.randint(0, 27)]
    return "\t".join(fields) + ("\t" if rng.random() < 0.9 else "")


def panel_file(rng, index):
    kind = rng.randint(1, 4)
    gas = rng.random() < 0.4
    metric = rng.random() < 0.6
    lines = [HEADERS[kind], ("GasTrue" if gas else "GasFalse") + str(kind if rng.random() < 0.97 else 5 - kind),
             "Metric" if metric else "Imperial"]
    for item in LAYOUT[kind]:
        if item == "material":
            lines.append(str(rng.choice([100, 100, 101, 104, 113, 114, 115, 3, 13, 0, -1, 150, 200])))
        elif item == "fittings":
            lines.append(fittings(rng))
        elif item in ("RiseFall", "MhdBar", "FlowUnit", "GasFlowUnit"):
            lines.append(rng.choice(["0", "1", "0", "1", "2", "3", "4", "-1", "7"] + (["x"] if rng.random() < 0.02 else [])))
        elif item == "FluidName":
            lines.append(rng.choice(NAMES))
        elif item == "Viscosity":
            lines.append(number(rng, 10.0, 20.0) if gas else number(rng, 0.2, 1500.0))
        elif item == "Density":
            lines.append(number(rng, 0.5, 12.0) if gas else number(rng, 0.5, 1.6))
        else:
            lo, hi = RANGES[item]
            lines.append(number(rng, lo, hi))
    r = rng.random()
    if r < 0.03:
        lines = lines[: rng.randint(1, len(lines))]  # cut short
    elif r < 0.06 and kind != 1:
        lines = lines[:-1]  # without its optional last line
    elif r < 0.07:
        lines[0] = HEADERS[5 - kind] if rng.random() < 0.5 else "Corvane_Find_XX"
    data = "\r\n".join(lines) + "\r\n"
    if rng.random() < 0.02:
        data = data.replace("\r\n", "\n", rng.randint(1, 5))
    raw = data.encode("cp1252", errors="replace")
    if rng.random() < 0.01:
        raw += b"\x1a"
    ext = "PW%d" % kind
    return "f%05d.%s" % (index, ext), raw


def generate(folder):
    rng = random.Random(SEED)
    os.makedirs(folder, exist_ok=True)
    names = []
    for i in range(FILES):
        if i % 500 == 499:  # not a panel file at all
            name, raw = "f%05d.PW%d" % (i, rng.randint(1, 4)), rng.choice(
                [b"", b"\x00\x01\x02binary", b"Corvane_Find_PD", b"x" * 100,
                 b"Corvane_Find_PD\r\nGasTrue1\r\nMetric\r\n" + b"1" * (1024 * 1024 + 1)])
        else:
            name, raw = panel_file(rng, i)
        with open(os.path.join(folder, name), "wb") as f:
            f.write(raw)
        names.append(name)
    return names


def run(cli, args, locale, cwd):
    env = {"PATH": "/usr/bin:/bin", "LC_ALL": locale, "HOME": "/nonexistent"}
    p = subprocess.run([cli] + args, cwd=cwd, env=env, capture_output=True)
    return p.stdout + b"\n--- stderr\n" + p.stderr + b"\n--- status %d\n" % p.returncode


def commands(names, rng):
    """Every command as an argument list (file names relative to the files folder)."""
    cmds = []
    for b in range(0, len(names), BATCH):
        group = names[b:b + BATCH]
        cmds.append(["-j", "1"] + group)
        cmds.append(["--json", "-j", "2"] + group)
    by_kind = {k: [n for n in names if n.endswith(str(k)) and int(n[1:6]) % 500 != 499] for k in range(1, 5)}
    for kind, files in by_kind.items():
        for f in rng.sample(files, 40):
            for control in rng.sample(SWEPT[kind], 3):
                lo, hi = rng.choice([(1, 100), (0.5, 2), (10, 1000), (0, 5), (100, 1)])
                steps = rng.choice([1, 2, 5, 11, 25])
                cmds.append(["--sweep", "%s=%s:%s:%d" % (control, lo, hi, steps), f])
    pumps = ["0:12,100:10,200:4", "100:20", "0:30,50:25,100:10", "0:5,10:4", "0:1000,1:999"]
    for f in rng.sample(names, 200):
        pump = ["--pump", rng.choice(pumps)]
        if rng.random() < 0.5:
            pump += ["--efficiency", rng.choice(["70", "55.5"])]
        if rng.random() < 0.3:
            pump += ["--speed", rng.choice(["1", "0.8", "1.2"])]
        cmds.append(pump + [f])
        cmds.append(["--json"] + pump + [f])
    first = by_kind[1][0]
    cmds += [
        [], ["--json"], ["--help"], ["-x", first], ["-j"], ["-j", "0", first], ["-j", "999", first], ["-jx", first],
        ["--sweep"], ["--sweep", "IRmm_RightEdit1=1:2:3"], ["--sweep", "Nope1=1:2:3", first],
        ["--sweep", "IRmm_RightEdit1=a:2:3", first], ["--sweep", "IRmm_RightEdit1=1:2:0", first],
        ["--sweep", "IRmm_RightEdit2=1:2:3", first], ["--sweep", "IRmm_RightEdit1", first],
        ["--sweep", "IRmm_RightEdit1=1:2:3", "missing.PW1"], ["--pump", "x", first], ["--pump"],
        ["--speed", "1", first], ["--pump", "0:10", "--speed", "1,5", first], ["missing.PW1"],
        ["--json", "missing.PW1", first], [".", first], ["--json", "/dev/null"], ["--", "-x"],
        ["--json", "--", first], ["--sheet"], ["--sheet", "out.pdf"],
    ]
    return cmds


def record(cli, folder):
    cli = os.path.abspath(cli)
    files = os.path.join(folder, "files")
    out = os.path.join(folder, "out")
    os.makedirs(out, exist_ok=True)
    names = generate(files)
    cmds = commands(names, random.Random(SEED + 1))
    count = 0
    with open(os.path.join(folder, "commands.txt"), "w") as listing:
        for locale in LOCALES:
            for i, args in enumerate(cmds):
                result = run(cli, args, locale, files)
                with open(os.path.join(out, "%s.%05d" % (locale, i)), "wb") as f:
                    f.write(result)
                listing.write("%s %05d %s\n" % (locale, i, " ".join(args) if len(args) < 8 else " ".join(args[:6]) + " ..."))
                count += 1
    print("%d files, %d commands (%d per locale, %d locales)" % (len(names), count, len(cmds), len(LOCALES)))


# ---------------------------------------------------------------- pipe runs
RUNS = 1000
RUN_SEED = 31
LIQUIDS = [("Water", "20°C (68°F)"), ("Water", "60°C (140°F)"), ("Sea water", "10°C (50°F)"),
           ("Diesel fuel", None), ("Hydraulic oil ISO VG 46", None), ("Glycerol", None), ("Ethanol", None),
           ("Hydraulic oil ISO VG 680", None), ("Engine oil SAE 30", None)]
MATERIALS = ["steel", "stainless steel", "galvanised steel", "aluminium", "copper", "glass", "Neoprene",
             "Reinforced PVC", "Rigid PVC", "Spiral wire reinforced", "cast iron", "concrete", "polyethylene",
             "wood stave"]
FITTINGS = ["Standard bend", "Long radius bend", "Pipe bend", "Elbow 45°", "Return bend", "Through tee",
            "Branch tee", "Strainer", "Reducer (one size)", "Expander (one size)", "Ball valve (reduced bore)",
            "Ball valve (full bore)", "Check valve, swing", "Check valve, wafer", "Check valve, lift", "Gate valve",
            "Globe valve (standard)", "Globe valve (angled)", "Butterfly valve", "Flexible bend", "Flexible loop",
            "Barb connector", "Thin wall tube connector"]
PIPES = [("Steel ASME B36.10M Sch 40", n) for n in ['1/2"', '3/4"', '1"', '2"', '3"', '4"', '6"']]


def round_to(rng, lo, hi, digits=None):
    v = rng.uniform(lo, hi)
    return round(v, digits if digits is not None else rng.choice([0, 1, 2, 3, 6]))


def run_fluid(rng):
    r = rng.random()
    if r < 0.3:
        return {"name": "Water", "water_temperature_c": round_to(rng, 1, 150, 1)}
    if r < 0.55:
        name, temp = rng.choice(LIQUIDS)
        f = {"name": name}
        if temp:
            f["temperature"] = temp
        if rng.random() < 0.5:
            f["vapour_pressure_bar_a"] = round_to(rng, 0.001, 0.5, 5)
        return f
    f = {"name": rng.choice(["Oil", "Brine", "Water", "Product"]),
         "viscosity_cst": round_to(rng, 0.3, rng.choice([2, 50, 2000]), 4)}
    if rng.random() < 0.5:
        f["density_kg_m3"] = round_to(rng, 700, 1300, 1)
    else:
        f["relative_density"] = round_to(rng, 0.7, 1.3, 3)
    if rng.random() < 0.6:
        f["vapour_pressure_bar_a"] = round_to(rng, 0.001, 0.9, 5)
    return f


def run_section(rng, i, diameter):
    s = {"name": "S%d" % (i + 1)}
    if rng.random() < 0.15:
        t, n = rng.choice(PIPES)
        s["pipe"] = {"type": t, "nominal": n}
    else:
        s["diameter_mm"] = diameter
    if rng.random() < 0.6:
        s["material"] = rng.choice(MATERIALS)
    else:
        s["roughness_mm"] = round_to(rng, 0, rng.choice([0.01, 0.2, 2.0]), 4)
    length = round_to(rng, 0, rng.choice([5, 50, 500]), 2)
    s["length_m"] = length
    if rng.random() < 0.7:
        s["rise_m"] = round(rng.uniform(-length, length), 2)
    if rng.random() < 0.5:
        s["fittings"] = []
        for name in rng.sample(FITTINGS, rng.randint(1, 4)):
            f = {"name": name, "count": rng.randint(0, 3)}
            if name in ("Gate valve", "Globe valve (standard)", "Globe valve (angled)", "Butterfly valve") and rng.random() < 0.5:
                f["open_percent"] = rng.choice([100, 75, 50, 25])
            s["fittings"].append(f)
    if rng.random() < 0.2:
        s["extra_k"] = round_to(rng, 0, 5, 2)
    if i > 0 and rng.random() < 0.6:
        if rng.random() < 0.5:
            s["transition"] = {"kind": "sudden"}
        else:
            s["transition"] = {"kind": "conical", "angle_deg": rng.choice([5, 10, 15, 20, 30, 45, 60, 90, 120, 180])}
    return s


def run_pump(rng, sections):
    shut = round_to(rng, 5, 120, 1)
    qmax = round_to(rng, 10, 3000, 0)
    form = rng.random()
    if form < 0.25:
        points = [[qmax / 2, round(shut * 0.75, 2)]]
    elif form < 0.6:
        points = [[0, shut], [round(qmax / 2, 1), round(shut * 0.85, 2)], [qmax, round(shut * 0.5, 2)]]
    else:
        n = rng.randint(2, 6)
        points = [[round(qmax * k / (n - 1), 1), round(shut * (1 - 0.6 * (k / (n - 1)) ** 2), 2)] for k in range(n)]
    p = {"after_section": rng.randint(1, sections), "points": points}
    if rng.random() < 0.4:
        p["speed"] = rng.choice([0.8, 0.9, 1, 1.1, 1.25])
    if rng.random() < 0.6:
        p["efficiency_percent"] = round_to(rng, 30, 85, 1)
    if rng.random() < 0.6:
        p["npsh_required"] = [[round(qmax * 0.1, 1), 1.5], [round(qmax * 0.5, 1), 2.5], [qmax, 4.5]]
    if rng.random() < 0.2:
        p["npsh_margin_ratio"] = rng.choice([1, 1.3, 2])
    return p


def run_document(rng, index):
    n = rng.choice([1, 1, 2, 3, 3, 4, 6, 10])
    base = round_to(rng, 5, 400, rng.choice([0, 1, 2, 3]))
    sections = []
    for i in range(n):
        d = base if rng.random() < 0.5 else round(base * rng.choice([0.5, 0.7, 0.8, 1.25, 1.5, 2.0]), 2)
        sections.append(run_section(rng, i, d))
    doc = {"corvane_run": 1}
    if rng.random() < 0.7:
        doc["title"] = "Generated run %d" % index
    doc["fluid"] = run_fluid(rng)
    lift = rng.random() < 0.5
    doc["source"] = {"pressure_bar_g": rng.choice([0, 0, 0.5, -0.3, 2]), "level_m": round_to(rng, 0, 20, 2)}
    if rng.random() < 0.2:
        doc["source"]["entry_k"] = rng.choice([0, 0.05, 0.5, 1])
    doc["sink"] = {"pressure_bar_g": rng.choice([0, 0, 1, 3]), "level_m": round_to(rng, -30, 60, 2)}
    if rng.random() < 0.2:
        doc["sink"]["exit_k"] = rng.choice([0, 0.5, 1])
    doc["start_elevation_m"] = round(doc["source"]["level_m"] + (rng.uniform(0.5, 7) if lift else -rng.uniform(0, 5)), 2)
    r = rng.random()
    if r < 0.3:
        doc["flow_lmin"] = round_to(rng, 0.5, 3000, 2)
    elif r < 0.6:
        doc["flow_lmin"] = None
    doc["sections"] = sections
    if rng.random() < 0.55:
        doc["pump"] = run_pump(rng, n)
    elif doc["sink"]["level_m"] > doc["source"]["level_m"] and rng.random() < 0.7:
        doc["sink"]["level_m"] = round(doc["source"]["level_m"] - rng.uniform(1, 60), 2)
    # Near a flow-zone limit of the first section: gravity balances there.
    if rng.random() < 0.1 and "flow_lmin" not in doc:
        s = sections[0]
        if "diameter_mm" in s and "viscosity_cst" in doc["fluid"]:
            re_target = rng.choice([2300, 3500]) * rng.choice([0.999, 1.0, 1.001])
            q = re_target * doc["fluid"]["viscosity_cst"] * 1e-6 / (s["diameter_mm"] / 1000) * 3.14159 * s["diameter_mm"] ** 2 / 4 / 1000 * 60
            doc["flow_lmin"] = round(q, 6)
    text = json.dumps(doc, ensure_ascii=rng.random() < 0.3, indent=rng.choice([None, 2]))
    # Invalid documents now and then.
    r = rng.random()
    if r < 0.02:
        text = text[: rng.randint(0, len(text))]
    elif r < 0.04:
        text = text.replace('"length_m": ', '"length_m": -', 1)
    elif r < 0.05:
        text = text.replace('"corvane_run": 1', '"corvane_run": 2')
    elif r < 0.06:
        text = text.replace('"sections": [', '"sections": [], "x": [', 1)
    return "r%04d.cvrun" % index, text.encode("utf-8")


def mask_dates(text):
    return re.sub(rb"\d{4}-\d{2}-\d{2}( \d{2}:\d{2}(:\d{2})?)?", b"DATE", text)


def record_runs(cli, folder):
    cli = os.path.abspath(cli)
    files = os.path.join(folder, "files")
    out = os.path.join(folder, "out")
    os.makedirs(files, exist_ok=True)
    os.makedirs(out, exist_ok=True)
    top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    names = []
    for extra in ["examples/pump-cavitating.cvrun", "examples/pump-suction-lift.cvrun", "data/help/worked-run.cvrun"]:
        shutil.copy(os.path.join(top, extra), files)
        names.append(os.path.basename(extra))
    for extra in sorted(os.listdir(os.path.join(top, "examples"))):
        if extra.endswith(".cvrun") and extra not in names:
            shutil.copy(os.path.join(top, "examples", extra), files)
            names.append(extra)
    rng = random.Random(RUN_SEED)
    for i in range(RUNS):
        name, raw = run_document(rng, i)
        with open(os.path.join(files, name), "wb") as f:
            f.write(raw)
        names.append(name)
    data = ["--data-dir", os.path.join(top, "data")]
    cmds = []
    for n in names:
        cmds.append(["run"] + data + [n])
        cmds.append(["run", "--json"] + data + [n])
    for b in range(0, len(names), BATCH):
        cmds.append(["run", "--json"] + data + names[b:b + BATCH])
    cmds += [["run"], ["run", "--json"], ["run", "--help"], ["run", "missing.cvrun"], ["run", "-x", names[0]],
             ["run", "--sheet"], ["run", "--sheet", "x.pdf", names[0], names[1]], ["run", "--title", "t", names[0]]]
    count = 0
    env = {"PATH": "/usr/bin:/bin", "LC_ALL": "C.UTF-8", "HOME": "/nonexistent", "QT_QPA_PLATFORM": "offscreen"}
    with open(os.path.join(folder, "commands.txt"), "w") as listing:
        for i, args in enumerate(cmds):
            p = subprocess.run([cli] + args, cwd=files, env=env, capture_output=True)
            result = p.stdout + b"\n--- stderr\n" + p.stderr + b"\n--- status %d\n" % p.returncode
            with open(os.path.join(out, "run.%05d" % i), "wb") as f:
                f.write(result.replace(top.encode(), b"TOP"))
            listing.write("%05d %s\n" % (i, " ".join(args[:6])))
            count += 1
        sheets = [n for k, n in enumerate(names) if k < 3 or k % 10 == 0]
        for i, n in enumerate(sheets):
            pdf = os.path.join(folder, "sheet.pdf")
            if os.path.exists(pdf):
                os.remove(pdf)
            p = subprocess.run([cli, "run", "--sheet", pdf, "--title", "Compare", "--case", n] + data + [n],
                               cwd=files, env=env, capture_output=True)
            text = b""
            if p.returncode == 0 and os.path.exists(pdf):
                text = subprocess.run(["pdftotext", "-layout", pdf, "-"], capture_output=True).stdout
            result = mask_dates(text) + b"\n--- stderr\n" + p.stderr + b"\n--- status %d\n" % p.returncode
            with open(os.path.join(out, "sheet.%05d" % i), "wb") as f:
                f.write(result.replace(top.encode(), b"TOP"))
            listing.write("sheet %05d %s\n" % (i, n))
            count += 1
    print("%d run files, %d commands" % (len(names), count))


def compare(a, b):
    left = sorted(os.listdir(os.path.join(a, "out")))
    right = sorted(os.listdir(os.path.join(b, "out")))
    if left != right:
        print("the recordings ran different commands (%d and %d)" % (len(left), len(right)))
        return 1
    differences = 0
    total = 0
    for name in left:
        with open(os.path.join(a, "out", name), "rb") as f, open(os.path.join(b, "out", name), "rb") as g:
            x, y = f.read(), g.read()
        total += len(x)
        if x != y:
            differences += 1
            if differences <= 10:
                print("differs:", name)
    print("%d commands compared (%d bytes of output), %d differences" % (len(left), total, differences))
    return 1 if differences else 0


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "record":
        record(sys.argv[2], sys.argv[3])
    elif len(sys.argv) == 4 and sys.argv[1] == "runs":
        record_runs(sys.argv[2], sys.argv[3])
    elif len(sys.argv) == 4 and sys.argv[1] == "compare":
        sys.exit(compare(sys.argv[2], sys.argv[3]))
    else:
        sys.stderr.write(__doc__)
        sys.exit(2)

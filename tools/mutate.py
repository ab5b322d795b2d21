#!/usr/bin/python3
"""Mutation check: does the test suite catch small faults in the program?

Each mutant of tools/mutants.tsv (one line each, TAB-separated: id, file,
line, old text, new text, comment) is applied alone to a scratch copy of the
source tree in build-mutate/, rebuilt incrementally in one build folder
(ccache when installed), run against the logic and batch-tool test
programs, and reverted.  The mutant is found by its old text, taken
literally, which must occur exactly once within 20 lines of the line given
as a hint.  A mutant is killed when a test fails, crashes or runs out of
time; it survived when every test passed.  A mutant that does not build
is reported apart and not counted.  A survivor whose comment starts with
"equivalent" is one argued to change nothing a user can see.

    tools/mutate.py [--only ID,...] [--check] [--fail-fast] [-j N]

--check only looks each mutant up in the source tree.  Standard library
only (/usr/bin/python3).
"""
import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TARGETS = ["corvane_logic_tests", "corvane_cli_tests"]
# Each test program runs as this many processes (the batch tool's first,
# as it holds the longest test).
PROGRAMS = [("tests/corvane_cli_tests", 2), ("tests/corvane_logic_tests", 3)]
HINT_WINDOW = 20    # lines either side of the hint


class Mutant:
    def __init__(self, fields, number):
        self.id, self.file, line, self.old, self.new = fields[:5]
        self.comment = fields[5] if len(fields) > 5 else ""
        self.line = int(line)
        self.number = number
        self.offset = None  # where the old text stands, once found
        self.fate = None    # "killed", "survived", "build failed", "not found"
        self.killers = []
        self.seconds = 0.0

    @property
    def equivalent(self):
        return self.comment.lower().startswith("equivalent")


def read_table(path):
    mutants, ids = [], set()
    with open(path, encoding="utf-8") as table:
        for number, line in enumerate(table, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#") or line.startswith("id\t"):
                continue
            fields = line.split("\t")
            if len(fields) < 5 or not fields[2].isdigit():
                sys.exit("%s:%d: a mutant is id, file, line, old text, new text, comment (TAB-separated)"
                         % (path, number))
            m = Mutant(fields, number)
            if m.id in ids:
                sys.exit("%s:%d: the id %s is used twice" % (path, number, m.id))
            ids.add(m.id)
            mutants.append(m)
    return mutants


def locate(m, text):
    """The offset of the mutant's old text near its hint, or why not."""
    if m.old == m.new:
        return None, "its old and new text are the same"
    starts, at = [], text.find(m.old)
    while at >= 0:
        line = text.count("\n", 0, at) + 1
        if abs(line - m.line) <= HINT_WINDOW:
            starts.append((at, line))
        at = text.find(m.old, at + 1)
    if len(starts) == 1:
        return starts[0][0], None
    if not starts:
        return None, "its old text is not within %d lines of line %d" % (HINT_WINDOW, m.line)
    return None, "its old text occurs %d times near line %d (lines %s)" % (
        len(starts), m.line, ", ".join(str(s[1]) for s in starts))


def git(*args):
    """git's output in the source tree, or None (no git, or no checkout)."""
    try:
        out = subprocess.run(["git", "-C", TOP] + list(args), capture_output=True)
    except OSError:
        return None
    return out.stdout.decode(errors="replace") if out.returncode == 0 else None


def source_files():
    """The files of the source tree: those git tracks or would track, or
    (outside a git checkout) every file but the build folders'."""
    listed = git("ls-files", "-z", "--cached", "--others", "--exclude-standard")
    if listed is not None:
        return [f for f in listed.split("\0") if f and os.path.isfile(os.path.join(TOP, f))]
    files = []
    for folder, dirs, names in os.walk(TOP):
        dirs[:] = [d for d in dirs if not (folder == TOP and (d == ".git" or d.startswith("build")))]
        files += [os.path.relpath(os.path.join(folder, n), TOP) for n in names]
    return files


def sync(src):
    """Makes src a copy of the source tree, writing only files that differ
    (so that the build stays incremental)."""
    wanted = set(source_files())
    copied = 0
    for rel in wanted:
        a, b = os.path.join(TOP, rel), os.path.join(src, rel)
        with open(a, "rb") as f:
            data = f.read()
        try:
            with open(b, "rb") as f:
                same = f.read() == data
        except OSError:
            same = False
        if not same:
            os.makedirs(os.path.dirname(b), exist_ok=True)
            with open(b, "wb") as f:
                f.write(data)
            copied += 1
        shutil.copymode(a, b)
    for folder, _, files in os.walk(src):
        for name in files:
            rel = os.path.relpath(os.path.join(folder, name), src)
            if rel not in wanted:
                os.unlink(os.path.join(folder, name))
    return copied


def configure(src, build):
    if os.path.exists(os.path.join(build, "build.ninja")):
        return
    command = ["cmake", "-S", src, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release", "-DBUILD_TESTING=ON",
               "-DCORVANE_BENCH=OFF", "-DCORVANE_GUI=OFF"]
    if shutil.which("ccache"):
        command.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)


def build_tests(build, jobs):
    r = subprocess.run(["cmake", "--build", build, "-j", str(jobs), "--target"] + TARGETS,
                       stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    return r.returncode == 0, r.stdout


# gtest's lines; a parameterised test's name is followed by ", where ...".
RUN = re.compile(r"^\[ RUN      \] ([^\s,]*\.[^\s,]+)")
DONE = re.compile(r"^\[(       OK |  FAILED  |  SKIPPED )\] ([^\s,]*\.[^\s,]+)")
FAILED = re.compile(r"^\[  FAILED  \] ([^\s,]*\.[^\s,]+)")


def test_names(listing):
    """Full test names from --gtest_list_tests output."""
    names, suite = [], ""
    for line in listing.splitlines():
        if not line.strip():
            continue
        if not line.startswith(" "):
            suite = line.split("#")[0].strip()
        else:
            names.append(suite + line.split("#")[0].strip())
    return names


def run_tests(build, jobs, timeout, fail_fast):
    """The tests that failed, crashed or ran out of time ([] when all
    passed).  Each program runs in its shards, `jobs` processes at a time;
    after a crash or a hang the rest of that shard runs on, so that every
    test has its say."""
    shard_env = lambda i, n: {"GTEST_TOTAL_SHARDS": str(n), "GTEST_SHARD_INDEX": str(i)}
    work = [(p, shard_env(i, n), []) for p, n in PROGRAMS for i in range(n)]
    running, killers = [], set()
    cwd = os.path.join(build, "tests")
    with tempfile.TemporaryDirectory(prefix="corvane-mutate-") as tmp:
        def start(program, env_extra, filters):
            log = tempfile.TemporaryFile("w+", dir=tmp, encoding="utf-8", errors="replace")
            env = dict(os.environ, GTEST_COLOR="no", **env_extra)
            args = [os.path.join(build, program)] + filters + (["--gtest_fail_fast"] if fail_fast else [])
            proc = subprocess.Popen(args, cwd=cwd, env=env, stdout=log, stderr=subprocess.STDOUT,
                                    start_new_session=True)
            return proc, log, time.monotonic(), (program, env_extra, filters)

        def finish(proc, log, timed_out, job):
            log.seek(0)
            open_runs, done, failed = [], set(), set()
            for line in log:
                if RUN.match(line):
                    open_runs.append(RUN.match(line).group(1))
                elif DONE.match(line):
                    name = DONE.match(line).group(2)
                    done.add(name)
                    if name in open_runs:
                        open_runs.remove(name)
                    if FAILED.match(line):
                        failed.add(FAILED.match(line).group(1))
            log.close()
            killers.update(failed)
            if not timed_out and (proc.returncode == 0 or not open_runs):
                if proc.returncode != 0 and not failed:
                    killers.add("%s (status %d)" % (os.path.basename(job[0]), proc.returncode))
                return
            what = "out of time" if timed_out else "crashed, status %d" % proc.returncode
            killers.update("%s (%s)" % (n, what) for n in open_runs)
            if fail_fast:
                return
            # The shard's other tests, by name (the listing ignores the
            # sharding: test j of the list runs in shard j % shards).
            program, env_extra, filters = job
            listing = subprocess.run([os.path.join(build, program), "--gtest_list_tests"] + filters, cwd=cwd,
                                     capture_output=True, text=True, errors="replace").stdout
            names = test_names(listing)
            if env_extra:
                shards, shard = int(env_extra["GTEST_TOTAL_SHARDS"]), int(env_extra["GTEST_SHARD_INDEX"])
                names = names[shard::shards]
            rest = [n for n in names if n not in done and n not in open_runs]
            if rest:
                work.append((program, {}, ["--gtest_filter=" + ":".join(rest)]))

        while work or running:
            while work and len(running) < jobs:
                running.append(start(*work.pop(0)))
            time.sleep(0.05)
            for item in list(running):
                proc, log, began, job = item
                timed_out = proc.poll() is None and time.monotonic() - began > timeout
                if timed_out:
                    os.killpg(proc.pid, signal.SIGKILL)
                    proc.wait()
                if proc.poll() is not None:
                    running.remove(item)
                    finish(proc, log, timed_out, job)
    return sorted(killers)


def minutes(seconds):
    return "%d min %02d s" % (seconds // 60, seconds % 60)


def main():
    parser = argparse.ArgumentParser(description="Mutation check of the logic and batch-tool tests.")
    parser.add_argument("--table", default=os.path.join(TOP, "tools", "mutants.tsv"))
    parser.add_argument("--scratch", default=os.path.join(TOP, "build-mutate"))
    parser.add_argument("--only", help="comma-separated mutant ids")
    parser.add_argument("-j", "--jobs", type=int, default=min(2, os.cpu_count() or 1),
                        help="compile jobs and test processes at once (default 2)")
    parser.add_argument("--check", action="store_true", help="only find every mutant in the sources")
    parser.add_argument("--fail-fast", action="store_true",
                        help="stop each test program at its first failure (then the killers are not all named)")
    args = parser.parse_args()

    mutants = read_table(args.table)
    if args.only:
        wanted = set(args.only.split(","))
        unknown = wanted - {m.id for m in mutants}
        if unknown:
            sys.exit("no mutant %s in %s" % (", ".join(sorted(unknown)), args.table))
        mutants = [m for m in mutants if m.id in wanted]

    lost = 0
    for m in mutants:
        path = os.path.join(TOP, m.file)
        if not os.path.isfile(path):
            m.fate, why = "not found", "there is no file %s" % m.file
        else:
            with open(path, encoding="utf-8") as f:
                m.offset, why = locate(m, f.read())
            if m.offset is None:
                m.fate = "not found"
        if m.fate:
            lost += 1
            print("%s (line %d of the table): %s" % (m.id, m.number, why))
    if args.check:
        print("%d mutants, %d not found" % (len(mutants), lost))
        return 1 if lost else 0

    began = time.monotonic()
    src, build = os.path.join(args.scratch, "src"), os.path.join(args.scratch, "build")
    os.makedirs(src, exist_ok=True)
    head = (git("rev-parse", "--short", "HEAD") or TOP).strip()
    dirty = (git("status", "--porcelain", "--untracked-files=no") or "").strip()
    print("Sources: %s%s; %d file(s) copied to %s" % (head, " with uncommitted changes" if dirty else "", sync(src), src))
    configure(src, build)
    ok, log = build_tests(build, args.jobs)
    if not ok:
        print(log[-6000:])
        sys.exit("the unchanged sources do not build")
    t0 = time.monotonic()
    failing = run_tests(build, args.jobs, 1800, False)
    baseline = time.monotonic() - t0
    if failing:
        sys.exit("the tests fail without a mutant: " + ", ".join(failing))
    timeout = max(60.0, 4 * baseline)
    print("Unchanged: builds, every test passes in %.0f s (a mutant's tests get %.0f s); %s so far"
          % (baseline, timeout, minutes(time.monotonic() - began)))

    todo = [m for m in mutants if not m.fate]
    for n, m in enumerate(todo, 1):
        path = os.path.join(src, m.file)
        with open(path, encoding="utf-8") as f:
            original = f.read()
        t0 = time.monotonic()
        try:
            with open(path, "w", encoding="utf-8") as f:
                f.write(original[:m.offset] + m.new + original[m.offset + len(m.old):])
            built, log = build_tests(build, args.jobs)
            if not built:
                m.fate = "build failed"
                errors = [l for l in log.splitlines() if "error:" in l]
                m.killers = errors[:1]
            else:
                m.killers = run_tests(build, args.jobs, timeout, args.fail_fast)
                m.fate = "killed" if m.killers else "survived"
        finally:
            with open(path, "w", encoding="utf-8") as f:
                f.write(original)
        m.seconds = time.monotonic() - t0
        where = "%s:%d" % (m.file, m.line)
        if m.fate == "killed":
            shown = ", ".join(m.killers[:4]) + (", ..." if len(m.killers) > 4 else "")
            verdict = "killed by %d: %s" % (len(m.killers), shown)
        elif m.fate == "survived":
            verdict = "SURVIVED" + (" (argued equivalent)" if m.equivalent else "")
        else:
            verdict = "BUILD FAILED: " + (m.killers[0] if m.killers else "")
        print("[%d/%d] %-4s %-40s %-60s %3.0f s" % (n, len(todo), m.id, where, verdict, m.seconds), flush=True)

    killed = [m for m in mutants if m.fate == "killed"]
    survived = [m for m in mutants if m.fate == "survived"]
    broken = [m for m in mutants if m.fate == "build failed"]
    argued = [m for m in survived if m.equivalent]
    counted = len(killed) + len(survived)
    print()
    print("Mutants: %d in the table, %d built and tested, %d did not build, %d not found"
          % (len(mutants), counted, len(broken), lost))
    if counted:
        print("Score: %d of %d killed (%.1f %%)" % (len(killed), counted, 100.0 * len(killed) / counted))
        if argued:
            rest = counted - len(argued)
            print("Without the %d survivor(s) argued equivalent: %d of %d (%.1f %%)"
                  % (len(argued), len(killed), rest, 100.0 * len(killed) / rest if rest else 100.0))
    single = [m for m in killed if len(m.killers) == 1]
    if single and not args.fail_fast:
        print("Killed by one test only: " + ", ".join("%s (%s)" % (m.id, m.killers[0]) for m in single))
    for m in survived:
        print("Survived: %s %s:%d  %s -> %s  %s" % (m.id, m.file, m.line, m.old, m.new, m.comment))
    for m in broken:
        print("Did not build: %s %s:%d" % (m.id, m.file, m.line))
    total = time.monotonic() - began
    print("Time: %s (%.0f s a mutant)" % (minutes(total), sum(m.seconds for m in killed + survived + broken)
                                          / max(1, len(killed + survived + broken))))
    return 1 if lost else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Byte-identity check of spanlab-cli: every command, on the examples and on the generated
models, against records made by an earlier build.

    identity.py CLI SOURCE_DIR SCRATCH_DIR               compare with expected.txt
    identity.py --regenerate CLI SOURCE_DIR SCRATCH_DIR  run twice, write expected.txt

identity_test.sh is the entry point (ctest runs it); see it for when to regenerate.

Each invocation is recorded as one line of expected.txt:

    STATUS STDOUT STDERR FILE COMMAND

STATUS is the exit status; STDOUT, STDERR and FILE are the first 12 hex digits of the SHA-256
of standard output, standard error and the file the command writes ("-" when empty, "." when
the command writes no file, "absent" when it should have written one and did not); COMMAND is
the command line after the program name, run in SCRATCH_DIR/work, with "--select @N" standing
for "--select" followed by line N (counted from 0) of the model.

Outputs must be the same from run to run to be recorded. Two things are not, and both are
dealt with: a PDF holds the time it was written (its /CreationDate is blanked before hashing),
and Qt embeds the fonts of a PDF in an order that follows its per-process random hash seed
(every invocation runs with QT_HASH_SEED=0). The rest of the environment is pinned as well (C
locale, UTC, the offscreen platform), and the commands run in the work folder with relative
paths, so that no output holds a path of this machine. PNG and SVG files are hashed as they
are written. --regenerate runs everything twice and records nothing that differs between the
two runs. The --help texts are left out: adding an option changes them by design.
"""
import concurrent.futures
import hashlib
import os
import re
import shlex
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True  # no __pycache__ in the source tree
import gen_models  # noqa: E402

EXPECTED = os.path.join(HERE, "expected.txt")
EXAMPLES = ["two-span-floor-beam", "metric-cantilever", "hinge-springs-settlement"]
POINTS = ["25", "50", "100", "200"]
SHOWS = [None, "reactions", "deflection", "rotation", "moment", "shear", "deflection,moment",
         "deflection,rotation,moment,shear", "shear,rotation", "moment,deflection"]
SIZES = ["200x120", "320x200", "160x160", "400x240", "240x300", "96x64"]
PRINT_FLAGS = [[], ["--paper", "letter"], ["--landscape"], ["--diagrams"],
               ["--input", "--summary", "--details", "--points", "25"],
               ["--paper", "letter", "--landscape", "--diagrams", "--details", "--points", "50"],
               ["--summary"], ["--details", "--points", "200"]]
TIMEOUT = 120  # seconds for one invocation
HASH_DIGITS = 12


class Invocation:
    def __init__(self, args, output=None, model=None, select=None):
        self.args = list(args)          # after the program name; "@N" for a selected line
        self.output = output            # the file it writes, relative to the work folder
        self.model = model              # the model file it reads, for messages
        self.select = select            # the text of the selected line (bytes)
        self.key = " ".join(self.args)

    def argv(self, cli):
        args = [self.select if (a.startswith("@") and self.select is not None) else a
                for a in self.args]
        return [cli] + args


def split_lines(data):
    """The model lines of a text file, as spanlab-cli splits them."""
    lines = data.split(b"\n")
    if lines and lines[-1] == b"":
        lines.pop()
    return [ln[:-1] if ln.endswith(b"\r") else ln for ln in lines]


def item_lines(data):
    """Indexes of the lines that `--select` can name (data lines; some are not items)."""
    return [i for i, ln in enumerate(split_lines(data))
            if i > 0 and ln and not ln.startswith((b"/", b"Units:")) and b":" in ln
            and b"\0" not in ln]


def has_long_lines(data):
    return any(len(ln) > 80 and not ln.startswith(b"Message:") for ln in split_lines(data))


# ---------------------------------------------------------------------------------------------
# What runs. The order is the order of expected.txt.

def plan_examples(add, files):
    for name in EXAMPLES:
        spn, txt = name + ".spn", name + ".txt"
        add(["import", txt, "-o", "out/%s.imported.spn" % name], phase=1)
        add(["check", spn])
        add(["lines", spn])
        for f in (spn, txt):
            add(["results", f])
            add(["results", f, "--format", "csv"])
        add(["report", spn])
        add(["report", spn, "--input"])
        add(["report", spn, "--summary"])
        add(["report", spn, "--details"])
        add(["report", spn, "--tab-details"])
        for p in POINTS:
            add(["report", spn, "--details", "--points", p])
            add(["report", spn, "--tab-details", "--points", p])
        add(["report", spn, "--input", "--summary", "--details", "--points", "50"])
        add(["report", spn, "-o", "out/%s.rpt" % name])
        add(["report", spn, "--details", "--points", "25", "-o", "out/%s.details.rpt" % name])
        add(["report", txt])
        add(["report", txt, "--details", "--points", "200"])
        for k, show in enumerate(SHOWS):
            add(["plot", spn, "-o", "out/%s.show%d.png" % (name, k), "--size", "400x240"]
                + (["--show", show] if show else []))
        add(["plot", spn, "-o", "out/%s.png" % name])
        add(["plot", spn, "-o", "out/%s.svg" % name, "--show", "deflection,moment"])
        add(["plot", spn, "-o", "out/%s.reactions.svg" % name, "--show", "reactions",
             "--size", "320x200"])
        add(["plot", spn, "-o", "out/%s.pdf" % name, "--show", "moment", "--size", "400x240"])
        add(["plot", txt, "-o", "out/%s.txt.png" % name, "--show", "shear", "--size", "320x200"])
        for j in [2] + item_lines(files[txt]):  # line 2 is the Units line: not an item
            show = SHOWS[j % len(SHOWS)]
            add(["plot", spn, "-o", "out/%s.select%d.png" % (name, j), "--size", "320x200",
                 "--select", "@%d" % j] + (["--show", show] if show else []),
                select=split_lines(files[txt])[j])
        for k, flags in enumerate(PRINT_FLAGS[:6]):
            add(["print", spn, "-o", "out/%s.print%d.pdf" % (name, k)] + flags)
        add(["print", txt, "-o", "out/%s.txt.pdf" % name, "--summary"])

    old = "old-format-beam.spn"
    add(["convert", old, "-o", "out/old-format-beam.converted.spn"])
    add(["lines", old])
    add(["check", old])
    add(["results", old])
    add(["results", old, "--format", "csv"])
    add(["report", old, "--input", "--summary", "--details", "--points", "50"])
    add(["plot", old, "-o", "out/old-format-beam.png", "--size", "320x200", "--show", "moment"])
    add(["print", old, "-o", "out/old-format-beam.pdf", "--diagrams"])
    add(["convert", "two-span-floor-beam.spn", "-o", "out/already-current.spn"])


def plan_argument_errors(add, files):
    """Commands that cannot run: the message and status 2."""
    spn = "two-span-floor-beam.spn"
    add(["results", "no-such-file.txt"])
    add(["check", "no-such-file.spn"])
    add(["results", spn, "--format", "xml"])
    add(["report", spn, "--points", "30"])
    add(["report", spn, "-o", "out/no-such-folder/x.rpt"])
    add(["plot", spn, "-o", "out/bad-size.png", "--size", "0x300"])
    add(["plot", spn, "-o", "out/bad-size2.png", "--size", "20001x10"])
    add(["plot", spn, "-o", "out/bad-show.png", "--show", "reactions,shear"])
    add(["plot", spn, "-o", "out/bad-show2.png", "--show", "bending"])
    add(["plot", spn, "-o", "out/bad-type.gif"])
    add(["plot", spn, "-o", "out/bad-select.png", "--select", "Support: X = 99; Disp = 0;"])
    add(["plot", spn, "-o", "out/bad-select2.png", "--select", "@1"],  # a description line
        select=split_lines(files["two-span-floor-beam.txt"])[1])
    add(["print", spn, "-o", "out/bad-paper.pdf", "--paper", "a3"])
    add(["import", "two-span-floor-beam.txt", "-o", "out/no-such-folder/x.spn"])
    add(["import", "two-span-floor-beam.txt"])
    add(["frobnicate"])


def plan_model(add, i, name, data):
    spn, txt = name + ".spn", name + ".txt"
    p = POINTS[(i // 2) % 4]
    add(["import", txt, "-o", spn], phase=1)
    add(["check", spn])
    add(["results", spn])
    add(["results", txt, "--format", "csv"])
    add(["report", spn])
    if i % 2 == 0:
        add(["report", spn, "--details", "--points", p])
    else:
        add(["report", spn, "--tab-details", "--points", p])
    extra = i % 8
    q = POINTS[(i // 8) % 4]
    if extra == 0:
        add(["lines", spn])
    elif extra == 1:
        add(["results", spn, "--format", "csv"])
    elif extra == 2:
        add(["results", txt])
    elif extra == 3:
        add(["report", spn, "--input"])
    elif extra == 4:
        add(["report", spn, "--summary"])
    elif extra == 5:
        add(["report", txt, "--input", "--summary", "--details", "--points", q,
             "-o", "out/%s.rpt" % name])
    elif extra == 6:  # the text read as a file of the older version
        add(["lines", txt] + (["--truncate-long-lines"] if (i // 8) % 2 else []))
    else:
        add(["report", spn, "--summary", "--details", "--points", q])

    # Pictures and pages on a share of the models, with the options varied along the set.
    if i % 2 == 0:
        n = i // 2
        show = SHOWS[n % len(SHOWS)]
        size = SIZES[(n // 3) % len(SIZES)]
        picture = ["--size", size] + (["--show", show] if show else [])
        select = []
        selected = None
        items = item_lines(data)
        if items and n % 3 == 0:
            j = items[(n // 3) % len(items)]
            select = ["--select", "@%d" % j]
            selected = split_lines(data)[j]
        if i % 4 == 0:
            add(["plot", spn, "-o", "out/%s.png" % name] + picture + select, select=selected)
        else:
            add(["plot", spn if n % 4 == 1 else txt, "-o", "out/%s.svg" % name] + picture + select,
                select=selected)
    if i % 50 == 7:
        add(["plot", spn, "-o", "out/%s.pdf" % name, "--size", SIZES[(i // 50) % len(SIZES)],
             "--show", SHOWS[2 + (i // 50) % (len(SHOWS) - 2)]])
    if i % 25 == 3:
        add(["print", spn, "-o", "out/%s.print.pdf" % name]
            + PRINT_FLAGS[(i // 25) % len(PRINT_FLAGS)])


def plan_old(add, i, name, data):
    """An older-version file: converted, and read by the commands that take a model file."""
    trunc = ["--truncate-long-lines"] if has_long_lines(data) else []
    if trunc:
        add(["lines", name])  # refused without the flag
    add(["convert", name, "-o", "out/%s.converted.spn" % name[:-4]] + trunc)
    add(["lines", name] + trunc)
    add(["check", name] + trunc)
    add(["results", name] + trunc)
    add(["report", name, "--details", "--points", POINTS[i % 4]] + trunc)


def plan_binary(add, name):
    add(["lines", name])
    add(["check", name])
    add(["results", name, "--format", "csv"])


def make_plan(files):
    plan = []
    outputs = set()

    def add(args, phase=2, select=None):
        output = None
        if "-o" in args:
            output = args[args.index("-o") + 1]
            assert output not in outputs, output
            outputs.add(output)
        model = next((a for a in args[1:2] if not a.startswith("-")), None)
        inv = Invocation(args, output, model, select)
        inv.phase = phase
        plan.append(inv)

    plan_examples(add, files)
    plan_argument_errors(add, files)
    for i in range(gen_models.MODEL_COUNT):
        name = "m%04d" % i
        plan_model(add, i, name, files[name + ".txt"])
    for i in range(gen_models.OLD_COUNT):
        name = "o%03d.spn" % i
        plan_old(add, i, name, files[name])
    for name in sorted(f for f in files if f.startswith("b")):
        plan_binary(add, name)
    keys = [inv.key for inv in plan]
    assert len(set(keys)) == len(keys), "two invocations with the same key"
    return plan


# ---------------------------------------------------------------------------------------------
# Running and recording.

def digest(data):
    return hashlib.sha256(data).hexdigest()[:HASH_DIGITS] if data else "-"


# A PDF carries the time it was written; nothing else in any output depends on the clock.
CREATION_DATE = re.compile(rb"/CreationDate \(D:[^)]*\)")


def normalised(path, data):
    if path.endswith(".pdf"):
        return CREATION_DATE.sub(b"/CreationDate (D:00000000000000Z)", data)
    return data


def environment():
    """The environment of every invocation: the C locale, UTC, Qt's offscreen platform, and a
    fixed hash seed for Qt (its font tables are hashed, and with a random seed the order of
    the fonts embedded in a PDF changes from run to run)."""
    env = {k: v for k, v in os.environ.items()
           if not k.startswith(("QT_", "LC_", "LANG")) and k != "LANGUAGE"}
    env.update(LC_ALL="C", TZ="UTC", QT_QPA_PLATFORM="offscreen", QT_HASH_SEED="0")
    return env


def run_one(cli, work, env, inv):
    if inv.output:
        target = os.path.join(work, inv.output)
        if os.path.lexists(target):
            os.remove(target)
    try:
        done = subprocess.run(inv.argv(cli), cwd=work, env=env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=TIMEOUT)
        status, out, err = str(done.returncode), done.stdout, done.stderr
    except subprocess.TimeoutExpired as e:
        status, out, err = "timeout", e.stdout or b"", e.stderr or b""
    if inv.output is None:
        file_hash = "."
    else:
        try:
            with open(os.path.join(work, inv.output), "rb") as f:
                file_hash = digest(normalised(inv.output, f.read()))
        except OSError:
            file_hash = "absent"
    record = "%s %s %s %s" % (status, digest(out), digest(err), file_hash)
    return record, out, err


def prepare(source, scratch):
    """Writes the generated files and copies the examples into SCRATCH/work."""
    work = os.path.join(scratch, "work")
    if os.path.isdir(work):
        shutil.rmtree(work)
    os.makedirs(os.path.join(work, "out"))
    generated = gen_models.write_all(work)
    files = dict(generated)
    for name in os.listdir(os.path.join(source, "examples")):
        shutil.copyfile(os.path.join(source, "examples", name), os.path.join(work, name))
        with open(os.path.join(work, name), "rb") as f:
            files[name] = f.read()
    models = hashlib.sha256()
    for name, data in generated:
        models.update(name.encode() + b"\0" + str(len(data)).encode() + b"\0" + data)
    return work, files, "models %d %s" % (len(generated), models.hexdigest())


def run_all(cli, work, plan, jobs):
    """Runs the plan (imports first, as the other commands read their model files); returns
    the records in plan order and the outputs of every invocation."""
    env = environment()
    results = [None] * len(plan)
    with concurrent.futures.ThreadPoolExecutor(max_workers=jobs) as pool:
        for phase in (1, 2):
            indexes = [k for k, inv in enumerate(plan) if inv.phase == phase]
            futures = {pool.submit(run_one, cli, work, env, plan[k]): k for k in indexes}
            for future in concurrent.futures.as_completed(futures):
                results[futures[future]] = future.result()
    return results


def read_expected(path):
    header, records = None, {}
    with open(path, "rb") as f:
        for raw in f:
            line = raw.decode("utf-8").rstrip("\n")
            if not line or line.startswith("#"):
                continue
            if line.startswith("models "):
                header = line
                continue
            parts = line.split(" ", 4)
            records[parts[4] if len(parts) == 5 else ""] = " ".join(parts[:4])
    return header, records


def write_expected(path, header, plan, results):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(
            "# Byte-identity records of spanlab-cli; identity_test.sh --regenerate writes them.\n"
            "# STATUS STDOUT STDERR FILE COMMAND: exit status; first %d hex digits of the\n"
            "# SHA-256 of standard output, standard error and the written file (\"-\" empty,\n"
            "# \".\" no file, \"absent\" not written; PDF dates blanked); the command as run\n"
            "# in the work folder, \"@N\" standing for line N of the model. The next line is\n"
            "# the digest of the generated models these records belong to.\n" % HASH_DIGITS)
        f.write(header + "\n")
        for inv, (record, _, _) in zip(plan, results):
            f.write("%s %s\n" % (record, inv.key))


def describe_model(inv, work):
    if not inv.model:
        return "(no model)"
    path = os.path.join(work, inv.model)
    what = ""
    m = re.match(r"m(\d{4})\.(txt|spn)$", inv.model)
    if m:
        kind = gen_models.KINDS[int(m.group(1))]
        what = "  (generated, kind %s; its lines: %s)" % (
            re.sub(r"\d+$", "", kind), os.path.join(work, "m%s.txt" % m.group(1)))
    elif inv.model.startswith(("o", "b")) and re.match(r"[ob]\d+\.spn$", inv.model):
        what = "  (generated by gen_models.py)"
    else:
        what = "  (a copy of examples/%s)" % inv.model
    return path + what


def quoted(argv):
    return " ".join(shlex.quote(os.fsdecode(a)) if isinstance(a, bytes) else shlex.quote(a)
                    for a in argv)


def compare(expected, plan, results, cli, scratch, work):
    differs = os.path.join(scratch, "differs")
    if os.path.isdir(differs):
        shutil.rmtree(differs)
    failures = []
    for k, (inv, (record, out, err)) in enumerate(zip(plan, results)):
        want = expected.get(inv.key)
        if want != record:
            failures.append((inv, want, record, out, err))
    planned = {inv.key for inv in plan}
    missing = [key for key in expected if key not in planned]
    # The first differences of each model, up to 40 in all, so that one broken model does not
    # hide the others.
    shown, per_model = 0, {}
    for inv, want, record, out, err in failures:
        n = per_model[inv.model] = per_model.get(inv.model, 0) + 1
        if shown >= 40 or n > 3:
            continue
        os.makedirs(differs, exist_ok=True)
        stem = os.path.join(differs, "%03d" % shown)
        with open(stem + ".stdout", "wb") as f:
            f.write(out)
        with open(stem + ".stderr", "wb") as f:
            f.write(err)
        print("DIFFERS: %s" % inv.key)
        print("  model:    %s" % describe_model(inv, work))
        print("  run:      cd %s && %s" % (shlex.quote(work), quoted(inv.argv(cli))))
        print("  expected: %s" % (want or "(none: the expected file has no such command)"))
        print("  actual:   %s" % record)
        print("  its output now: %s.stdout, %s.stderr%s" % (
            stem, stem, ", " + os.path.join(work, inv.output) if inv.output else ""))
        shown += 1
    if len(failures) > shown:
        print("... and %d more" % (len(failures) - shown))
    for key in missing[:20]:
        print("NOT RUN: %s (in the expected file, not in the plan)" % key)
    if failures:
        by_command = {}
        for inv, *_ in failures:
            name = inv.args[0] if inv.args else "(none)"
            by_command[name] = by_command.get(name, 0) + 1
        print("%d of %d invocations differ, on %d model files: %s" % (
            len(failures), len(plan), len(per_model),
            ", ".join("%s %d" % kv for kv in sorted(by_command.items()))))
        print("The expected output is what a build of the commit that recorded expected.txt "
              "prints for the same command.")
    return len(failures) + len(missing)


def main(argv):
    regenerate = False
    if argv and argv[0] == "--regenerate":
        regenerate, argv = True, argv[1:]
    if len(argv) != 3:
        print(__doc__)
        return 2
    cli, source, scratch = (os.path.abspath(a) for a in argv)
    if not os.access(cli, os.X_OK):
        print("identity: no program at %s" % cli)
        return 2
    jobs = int(os.environ.get("IDENTITY_JOBS", "0")) or len(os.sched_getaffinity(0))
    start = time.monotonic()
    work, files, header = prepare(source, scratch)
    plan = make_plan(files)

    if regenerate:
        first = run_all(cli, work, plan, jobs)
        second = run_all(cli, work, plan, jobs)
        unstable = [inv.key + ": " + a[0] + " / " + b[0]
                    for inv, a, b in zip(plan, first, second) if a[0] != b[0]]
        if unstable:
            print("These outputs differ between two runs of the same build; they need to be "
                  "normalised before they can be recorded:")
            print("\n".join(unstable[:40]))
            return 1
        write_expected(EXPECTED, header, plan, first)
        print("identity: %d invocations recorded twice alike in %s (%.0f s, %d jobs). Review "
              "the change with git diff before committing it." % (
                  len(plan), EXPECTED, time.monotonic() - start, jobs))
        return 0

    expected_header, expected = read_expected(EXPECTED)
    if expected_header != header:
        print("identity: the generated models are not the ones %s was recorded with\n"
              "  expected: %s\n  now:      %s\n"
              "gen_models.py changed (or produces other bytes here): regenerate the expected "
              "file from a build before the change under test."
              % (EXPECTED, expected_header, header))
        return 1
    results = run_all(cli, work, plan, jobs)
    bad = compare(expected, plan, results, cli, scratch, work)
    elapsed = time.monotonic() - start
    if bad:
        print("identity: FAILED (%.0f s). If the change is intended (a fix that changes output), "
              "regenerate the records from a build with the fix but without the refactoring:\n"
              "  tests/identity/identity_test.sh --regenerate BUILD/spanlab-cli SOURCE_DIR "
              "SCRATCH_DIR" % elapsed)
        return 1
    print("identity: %d invocations byte-identical (%s, %.0f s, %d jobs)" % (
        len(plan), header.split()[1] + " generated files and the examples", elapsed, jobs))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

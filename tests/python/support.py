"""What the Python module's tests share: where the program and the sources are, running
spanlab-cli, and the display values a results record of `spanlab-cli results` stands for.

CTest sets SPANLAB_CLI (the program), SPANLAB_SOURCE_DIR and PYTHONPATH (build/python); run by
hand from the source folder, the defaults are build/spanlab-cli and the current folder.
"""
import json
import os
import subprocess
import sys

import numpy as np

SOURCE_DIR = os.path.abspath(os.environ.get("SPANLAB_SOURCE_DIR", "."))
CLI = os.environ.get("SPANLAB_CLI", os.path.join(SOURCE_DIR, "build", "spanlab-cli"))
EXAMPLES = os.path.join(SOURCE_DIR, "examples")

sys.path.insert(0, os.path.join(SOURCE_DIR, "tests", "identity"))
import gen_models  # noqa: E402  (the identity test's seeded model generator)


def cli(*args):
    """(exit status, stdout, stderr) of spanlab-cli ARGS."""
    done = subprocess.run([CLI, *args], capture_output=True, text=True, errors="replace")
    return done.returncode, done.stdout, done.stderr


def cli_json(*args):
    status, out, err = cli(*args)
    if status != 0:
        raise AssertionError("spanlab-cli %s exited with %d: %s" % (" ".join(args), status, err))
    return json.loads(out)


def column(rows, name):
    """One field of a list of JSON objects as floats (null as NaN)."""
    return np.array([np.nan if row[name] is None else row[name] for row in rows], dtype=float)


def display_scale(unit_system):
    """(length and moment divisor, deflection factor) of the reports: 12 for feet and kip ft
    in English, 1000 for mm in Metric."""
    return {"English": (12.0, 1.0), "Metric": (1.0, 1000.0)}.get(unit_system, (1.0, 1.0))


def expected_nodes(record, unit_system):
    """The node arrays of Results, computed here from the JSON record."""
    d, f = display_scale(unit_system)
    nodes, elements = record["nodes"], record["elements"]
    shear_start, shear_end = column(elements, "shearStart"), column(elements, "shearEnd")
    moment_start, moment_end = column(elements, "momentStart"), column(elements, "momentEnd")
    return {
        "x": column(nodes, "x") / d,
        "deflection": column(nodes, "deflection") * f,
        "rotation": column(nodes, "rotation"),
        "shear_left": np.concatenate(([shear_start[0]], -shear_end)),
        "shear_right": np.concatenate((shear_start, [-shear_end[-1]])),
        "moment_left": np.concatenate(([moment_start[0]], -moment_end)) / d,
        "moment_right": np.concatenate((moment_start, [-moment_end[-1]])) / d,
    }


def expected_extremes(record, unit_system):
    d, _ = display_scale(unit_system)
    x = record["extremes"]
    out = {}
    for quantity, divisor in (("Shear", 1.0), ("Moment", d), ("Rotation", 1.0),
                              ("Deflection", 1.0)):  # deflection extremes are mm already
        for kind in ("min", "max"):
            out["%s_%s" % (kind, quantity.lower())] = (
                x[kind + quantity] / divisor, x["x%s%s" % (kind.capitalize(), quantity)] / d)
    return out

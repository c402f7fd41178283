"""The module's numbers against the program's own records (spanlab-cli results, envelope,
influence, check) and against closed forms; its plots and the README's example."""
import glob
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

import numpy as np

import spanlab
from support import (CLI, EXAMPLES, SOURCE_DIR, cli, cli_json, column, display_scale,
                     expected_extremes, expected_nodes, gen_models)


def _has_matplotlib():
    try:
        import matplotlib  # noqa: F401
    except ImportError:
        return False
    return True


class RecordCase(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="spanlab-python-")

    def tearDown(self):
        shutil.rmtree(self.tmp)

    def assert_matches_record(self, results, record):
        """Every value of `results` is the record's value turned into display units by the
        reports' operation, bit for bit."""
        self.assertEqual(results.to_dict(), record)
        for name, values in expected_nodes(record, results.unit_system).items():
            np.testing.assert_array_equal(getattr(results, name), values, err_msg=name)
        self.assertIs(results.moment, results.moment_left)
        self.assertEqual(results.extremes, expected_extremes(record, results.unit_system))
        # Reactions: the nodes where a support or spring sits; every other node has none.
        d, _ = display_scale(results.unit_system)
        x = column(record["nodes"], "x") / d
        held = np.isin(x, results.reactions["x"])
        np.testing.assert_array_equal(results.reactions["force"],
                                      column(record["nodes"], "reactionVert")[held])
        np.testing.assert_array_equal(results.reactions["moment"],
                                      column(record["nodes"], "reactionRot")[held] / d)
        self.assertFalse(np.any(column(record["nodes"], "reactionVert")[~held]))


class ExamplesMatchTheProgram(RecordCase):
    def test_every_example_equals_the_results_record_and_the_run_log(self):
        for path in sorted(glob.glob(os.path.join(EXAMPLES, "*.spn"))):
            with self.subTest(example=os.path.basename(path)):
                model = spanlab.Model.load(path)
                results = model.run()
                self.assert_matches_record(results, cli_json("results", path))
                status, log, _ = cli("check", path)
                self.assertEqual(status, 0)
                self.assertEqual(results.log, log)
                self.assertEqual(model.check(), log.partition("Running Analysis\n")[0])

    def test_text_file_of_lines_gives_the_model_files_results(self):
        for path in sorted(glob.glob(os.path.join(EXAMPLES, "*.txt"))):
            with self.subTest(example=os.path.basename(path)):
                model = spanlab.Model.load(path)
                spn = spanlab.Model.load(path[:-4] + ".spn")
                self.assertEqual(model.lines, spn.lines)
                self.assert_matches_record(model.run(), cli_json("results", path))

    def test_units_and_labels_follow_the_units_line(self):
        expect = {"two-span-floor-beam": ("English", "feet", "kip ft", "inches"),
                  "metric-cantilever": ("Metric", "m", "kN m", "mm")}
        for name, (system, x, moment, deflection) in expect.items():
            results = spanlab.Model.load(os.path.join(EXAMPLES, name + ".spn")).run()
            self.assertEqual(results.unit_system, system)
            self.assertEqual((results.units["x"], results.units["moment"],
                              results.units["deflection"], results.units["rotation"]),
                             (x, moment, deflection, "radians"))

    def test_csv_equals_the_programs_csv(self):
        path = os.path.join(EXAMPLES, "hinge-springs-settlement.spn")
        out = os.path.join(self.tmp, "results.csv")
        spanlab.Model.load(path).run().to_csv(out)
        with open(out, encoding="ascii") as f:
            self.assertEqual(f.read(), cli("results", path, "--format", "csv")[1])


class GeneratedModelsMatchTheProgram(RecordCase):
    """Every ninth model of the identity test's seeded set: clean beams in every unit system,
    warnings, format and data errors, unstable and extreme beams, oddly spaced lines."""

    def test_results_logs_and_errors_equal_the_programs(self):
        kinds = set()
        for index in range(0, gen_models.MODEL_COUNT, 9):
            txt = os.path.join(self.tmp, "m%04d.txt" % index)
            with open(txt, "wb") as f:
                f.write(gen_models.generate_model(index))
            spn = txt[:-4] + ".spn"
            if cli("import", txt, "-o", spn)[0] != 0:
                continue
            with self.subTest(model=index, kind=gen_models.KINDS[index]):
                kinds.add(self.compare(spanlab.Model.load(spn), spn))
        # The sample reaches every outcome.
        self.assertEqual(kinds, {"clean", "warnings", "errors", "analysis"})

    def compare(self, model, spn):
        status, log, _ = cli("check", spn)
        try:
            results = model.run()
        except spanlab.AnalysisError as e:
            self.assertEqual(status, 1)
            self.assertEqual(str(e), log)
            self.assertTrue(e.codes and all(c.startswith("A") for c in e.codes), e.codes)
            if e.results is not None:
                self.assert_matches_record(e.results, cli_json_any("results", spn))
            return "analysis"
        except spanlab.ModelError as e:
            self.assertEqual(status, 1)
            self.assertEqual(e.log, log)
            self.assertEqual(len(e.codes), int(re.search(r" (\d+) Error\(s\)", log).group(1)))
            self.assertEqual(model.check(), log)
            return "errors"
        self.assertEqual(status, 0)
        self.assertEqual(results.log, log)
        self.assert_matches_record(results, cli_json("results", spn))
        self.assertEqual(results.warnings, re.findall(r"^\s*Warning (\w+)", log, re.M))
        return "warnings" if results.warnings else "clean"


def cli_json_any(*args):
    """The JSON of a command that exits 1 (a model whose analysis reports an error)."""
    import json
    return json.loads(cli(*args)[1])


class ExactValuesBetweenNodes(unittest.TestCase):
    """at() against the closed forms of a simply supported beam under a uniform load:
    M = w x (L - x) / 2, V = w (L/2 - x), deflection w x (L^3 - 2 L x^2 + x^3) / (24 EI)."""

    def beam(self, units, length, w, e, i):
        return spanlab.Model.from_lines([
            "File Format:3.0", "Units:%s;" % units,
            "Member Property: X = 0; E = %r; I = %r;" % (e, i),
            "Support: X = 0; Disp = 0;", "Support: X = %r; Disp = 0;" % length,
            "Uniform Load: XStart = 0; XEnd = %r; UStart = %r; UEnd = %r;" % (length, w, w),
        ]).run()

    def check_closed_forms(self, results, length, w, ei, to_length, to_deflection):
        x = np.linspace(0, length, 97) + 0.0123 * length  # mostly between nodes
        x = x[x <= length]
        values = results.at(x)
        moment = -w * x * (length - x) / 2          # a downward load (w < 0) sags: M > 0
        shear = -w * (length / 2 - x)
        xi, li = x * to_length, length * to_length   # deflection from internal units
        wi = w / to_length
        deflection = wi * xi * (li ** 3 - 2 * li * xi ** 2 + xi ** 3) / (24 * ei) * to_deflection
        for name, expected in (("moment", moment), ("shear", shear),
                               ("deflection", deflection)):
            scale = np.max(np.abs(expected))
            np.testing.assert_allclose(values[name], expected, rtol=0, atol=1e-9 * scale,
                                       err_msg=name)
        self.assertAlmostEqual(results.extremes["max_moment"][0], -w * length ** 2 / 8,
                               delta=1e-9 * abs(w) * length ** 2)
        self.assertAlmostEqual(results.extremes["max_moment"][1], length / 2, delta=1e-9)

    def test_english_beam_in_feet_kips_and_inches(self):
        # E in ksi, I in in^4: EI in kip in^2; w in kip/ft, lengths in ft.
        results = self.beam("English", 30, -1.2, 29000, 448)
        self.check_closed_forms(results, 30, -1.2, 29000 * 448, 12, 1)

    def test_metric_beam_in_metres_kilonewtons_and_millimetres(self):
        # E in MPa (1000 kN/m^2), I in cm^4 (1e-8 m^4); deflection reported in mm.
        results = self.beam("Metric", 6.5, -4.5, 210000, 1943)
        self.check_closed_forms(results, 6.5, -4.5, 210000e3 * 1943e-8, 1, 1000)

    def test_at_a_node_gives_the_node_table_values_left_of_it(self):
        results = spanlab.Model.load(os.path.join(EXAMPLES, "two-span-floor-beam.spn")).run()
        values = results.at(results.x)
        np.testing.assert_array_equal(values["deflection"], results.deflection)
        np.testing.assert_array_equal(values["shear"], results.shear_left)
        np.testing.assert_array_equal(values["moment"], results.moment_left)
        one = results.at(results.x[5])
        self.assertEqual(one, {k: float(v[5]) for k, v in values.items()})
        grid = results.at([[0.0, 15.0], [30.0, 42.0]])
        self.assertEqual(grid["moment"].shape, (2, 2))
        self.assertEqual(grid["moment"][0, 1], results.extremes["max_moment"][0])


METRIC_LIVE = [
    "File Format:3.0", "/Two-span slab strip with a live load", "Units:Metric;",
    "Member Property: X = 0; E = 30000; I = 450000;",
    "Support: X = 0; Disp = 0;", "Support: X = 5.5; Disp = 0;", "Support: X = 12; Disp = 0;",
    "Uniform Load: XStart = 0; XEnd = 12; UStart = -6; UEnd = -6;",
    "Point Load: X = 8; PLoad = -15; Moment = 4;",
    "Live Load: U = -5; LiveFactor = 1.5; DeadMax = 1.35; DeadMin = 1;",
]

# Envelope names whose values are lengths or moments (divided by 12 in English); deflections
# are multiplied by 1000 in Metric.
DIVIDED = {"x", "xEnd", "start", "end", "reactionRot", "momentStart", "momentEnd"}


class EnvelopeAndInfluenceMatchTheProgram(RecordCase):
    def live_models(self):
        """(model, path of its text file of lines, unit system) of an English and a Metric
        model with a Live Load line."""
        with open(os.path.join(EXAMPLES, "hinge-springs-settlement.txt")) as f:
            english = f.read().splitlines()
        english.append("Live Load: U = -0.8; LiveFactor = 1.6; DeadMax = 1.2; DeadMin = 0.9;")
        out = []
        for name, lines, units in (("english", english, "English"),
                                   ("metric", METRIC_LIVE, "Metric")):
            path = os.path.join(self.tmp, name + ".txt")
            with open(path, "w") as f:
                f.write("\n".join(lines) + "\n")
            out.append((spanlab.Model.from_lines(lines), path, units))
        return out

    def test_envelope_is_the_programs_record_in_display_units(self):
        for model, path, units in self.live_models():
            with self.subTest(units=units):
                self.compare_envelope(model.envelope(), cli_json("envelope", path), units)

    def compare_envelope(self, envelope, record, units):
        d, f = display_scale(units)
        for table in ("spans", "nodes", "elements"):
            self.assertEqual(list(envelope[table]), list(record[table][0]))
            for name, values in envelope[table].items():
                base = re.sub("(Max|Min)$", "", name)
                expected = column(record[table], name)
                if base in DIVIDED:
                    expected = expected / d
                if base == "deflection":
                    expected = expected * f
                np.testing.assert_array_equal(values, expected, err_msg=name)
        self.assertTrue(np.isnan(envelope["nodes"]["reactionVertMax"]).any())
        self.assertFalse(np.isnan(envelope["nodes"]["deflectionMax"]).any())
        for name, x in record["extremes"].items():
            value = x["value"] / d if "Moment" in name else x["value"]
            value = value * f if "Deflection" in name else value
            self.assertEqual(envelope["extremes"][name],
                             {"value": value, "x": x["x"] / d, "spansOnMax": x["spansOnMax"]})

    def test_influence_lines_are_the_programs_in_display_units(self):
        for model, path, units in self.live_models():
            d, f = display_scale(units)
            for of, at in (("deflection", 3), ("rotation", 10), ("shear", 5.51),
                           ("moment", 10), ("reaction-vert", 0), ("reaction-rot", 0)):
                if units == "Metric" and of == "reaction-rot":
                    continue  # no support there holds a rotation
                with self.subTest(units=units, of=of):
                    line = model.influence(of.replace("-", "_"), at)
                    record = cli_json("influence", path, "--of", of, "--at", repr(at))
                    self.assertEqual((line["of"], line["at"]), (record["of"], record["at"]))
                    np.testing.assert_array_equal(line["points"]["x"],
                                                  column(record["points"], "x"))
                    expected = column(record["points"], "value")
                    if of in ("moment", "reaction-rot"):
                        expected = expected / d
                    if of == "deflection":
                        expected = expected * f
                    np.testing.assert_array_equal(line["points"]["value"], expected)

    def test_refusals_name_the_fix(self):
        model = self.live_models()[0][0]
        with self.assertRaisesRegex(ValueError, "no quantity of an influence line: give "):
            model.influence("torque", 10)
        with self.assertRaisesRegex(ValueError, "^at 61 is outside the beam: give a position "
                                                "from 0 to 60 feet"):
            model.influence("moment", 61)
        with self.assertRaisesRegex(ValueError, "^at nan is not a finite number"):
            model.influence("moment", float("nan"))
        with self.assertRaisesRegex(ValueError, "no support or spring restraining"):
            model.influence("reaction-vert", 10)
        with self.assertRaisesRegex(TypeError, "'at' is a number"):
            model.influence("moment", "10")
        plain = spanlab.Model.load(os.path.join(EXAMPLES, "two-span-floor-beam.spn"))
        with self.assertRaisesRegex(ValueError, "no Live Load line"):
            plain.envelope()


class RecordingAxes:
    """Stands in for a matplotlib Axes: keeps every call."""

    def __init__(self):
        self.calls = []

    def __getattr__(self, name):
        return lambda *args, **kwargs: self.calls.append((name, args, kwargs))

    def named(self, name):
        return [c for c in self.calls if c[0] == name]


class Plots(unittest.TestCase):
    def setUp(self):
        self.results = spanlab.Model.load(
            os.path.join(EXAMPLES, "metric-cantilever.spn")).run()

    def test_curves_labels_and_signs(self):
        ax = RecordingAxes()
        self.assertIs(spanlab.plot(self.results, ax=ax), ax)
        (_, (x, y), kwargs), = ax.named("plot")
        # Moment through both sides of every node; hogging over a cantilever: negative.
        np.testing.assert_array_equal(x, np.repeat(self.results.x, 2))
        np.testing.assert_array_equal(y[0::2], self.results.moment_left)
        np.testing.assert_array_equal(y[1::2], self.results.moment_right)
        self.assertEqual(y.min(), self.results.extremes["min_moment"][0])
        self.assertLess(y.min(), 0)
        self.assertEqual(kwargs["label"], "Moment (kN m)")
        self.assertEqual(ax.named("set_xlabel")[0][1], ("x (m)",))
        self.assertEqual(ax.named("set_ylabel")[0][1], ("Moment (kN m)",))

    def test_several_quantities_on_one_axes_or_one_each(self):
        shared = RecordingAxes()
        spanlab.plot(self.results, ("deflection", "shear"), ax=shared)
        labels = [c[2]["label"] for c in shared.named("plot")]
        self.assertEqual(labels, ["Deflection (mm)", "Shear (kN)"])
        self.assertEqual(len(shared.named("legend")), 1)
        first, second = RecordingAxes(), RecordingAxes()
        spanlab.plot(self.results, ["rotation", "moment"], ax=[first, second])
        self.assertEqual(first.named("set_ylabel")[0][1], ("Rotation (radians)",))
        np.testing.assert_array_equal(first.named("plot")[0][1][1], self.results.rotation)
        self.assertEqual(second.named("set_ylabel")[0][1], ("Moment (kN m)",))

    def test_bad_arguments(self):
        with self.assertRaisesRegex(ValueError, "one or more of deflection, rotation"):
            spanlab.plot(self.results, ("torque",), ax=RecordingAxes())
        with self.assertRaisesRegex(ValueError, "2 axes for 1 quantities"):
            spanlab.plot(self.results, "moment", ax=[RecordingAxes(), RecordingAxes()])
        with self.assertRaisesRegex(TypeError, "Results of Model.run"):
            spanlab.plot({"x": [1]}, ax=RecordingAxes())

    @unittest.skipUnless(_has_matplotlib(), "matplotlib is not installed")
    def test_png_with_matplotlib(self):
        import matplotlib
        matplotlib.use("Agg")
        axes = spanlab.plot(self.results, ("moment", "deflection"))
        self.assertEqual(len(axes), 2)
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, "beam.png")
            axes[0].figure.savefig(path)
            with open(path, "rb") as f:
                self.assertEqual(f.read(8), b"\x89PNG\r\n\x1a\n")
        self.assertEqual(axes[1].get_ylabel(), "Deflection (mm)")


class ReadmeExample(unittest.TestCase):
    """The README's Python example prints what the README shows and writes its PNG."""

    def test_readme_example_output(self):
        with open(os.path.join(SOURCE_DIR, "README.md"), encoding="utf-8") as f:
            readme = f.read()
        section = readme[readme.index("\n## Python"):]
        code = re.search(r"```python\n(.*?)```", section, re.S).group(1)
        shown = re.search(r"```python\n.*?```.*?```text\n(.*?)```", section, re.S).group(1)
        with tempfile.TemporaryDirectory() as tmp:
            os.symlink(EXAMPLES, os.path.join(tmp, "examples"))
            env = dict(os.environ)
            if not _has_matplotlib():  # a stand-in that keeps the example's printing testable
                env["PYTHONPATH"] = os.path.join(os.path.dirname(__file__), "no_matplotlib") + \
                    os.pathsep + env.get("PYTHONPATH", "")
            done = subprocess.run([sys.executable, "-c", code], cwd=tmp, env=env,
                                  capture_output=True, text=True)
            self.assertEqual(done.returncode, 0, done.stderr)
            self.assertEqual(done.stdout, shown)
            with open(os.path.join(tmp, "beam.png"), "rb") as f:
                self.assertEqual(f.read(8), b"\x89PNG\r\n\x1a\n")


if __name__ == "__main__":
    unittest.main()

"""Making, loading and saving models; every bad input as a Python exception; threads; and that
importing the module loads no Qt."""
import os
import pickle
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import unittest

import numpy as np

import spanlab
from support import CLI, EXAMPLES, cli

HEAD = ["File Format:3.0", "Units:English;", "Member Property: X = 0; E = 29000; I = 448;"]


def continuous_beam(spans, span=10.0, load=-2.0):
    """A support every `span` ft, a point load in the middle of each span and a uniform load
    over the whole beam."""
    lines = HEAD + ["Uniform Load: XStart = 0; XEnd = %g; UStart = -0.5; UEnd = -0.5;"
                    % (spans * span)]
    for i in range(spans + 1):
        lines.append("Support: X = %g; Disp = 0;" % (i * span))
        if i < spans:
            lines.append("Point Load: X = %g; PLoad = %g;" % (i * span + span / 2, load))
    return lines


class Scratch(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="spanlab-python-")

    def tearDown(self):
        shutil.rmtree(self.tmp)

    def path(self, name):
        return os.path.join(self.tmp, name)


class LoadAndSave(Scratch):
    def test_saved_file_is_the_programs_model_file_and_loads_back(self):
        lines = continuous_beam(3) + ["/a comment: caf\u00e9 \u20ac", "\\starts with a backslash"]
        model = spanlab.Model.from_lines(lines)
        self.assertEqual(model.lines, lines)
        model.save(self.path("beam.spn"))
        # The program makes the same bytes from the same lines (its import reads them back
        # as `spanlab-cli lines` writes them).
        status, text, _ = cli("lines", self.path("beam.spn"))
        self.assertEqual(status, 0)
        with open(self.path("lines.txt"), "w", encoding="utf-8") as f:
            f.write(text)
        self.assertEqual(cli("import", self.path("lines.txt"), "-o", self.path("cli.spn"))[0], 0)
        with open(self.path("beam.spn"), "rb") as a, open(self.path("cli.spn"), "rb") as b:
            self.assertEqual(a.read(), b.read())
        self.assertEqual(spanlab.Model.load(self.path("beam.spn")).lines, lines)
        self.assertEqual(spanlab.Model.load(self.path("lines.txt")).lines, lines)

    def test_bytes_that_are_not_utf8_survive_a_round_trip(self):
        raw = b"File Format:3.0\n/Tr\xe4ger \xfcber 3 Felder\nUnits:Metric;\n"
        with open(self.path("latin1.txt"), "wb") as f:
            f.write(raw)
        model = spanlab.Model.load(self.path("latin1.txt"))
        self.assertEqual(model.lines[1], "/Tr\udce4ger \udcfcber 3 Felder")
        spanlab.Model.from_lines(model.lines).save(self.path("latin1.spn"))
        self.assertEqual(_cli_bytes("lines", self.path("latin1.spn")), raw)

    def test_older_version_file_is_converted_with_its_notice(self):
        path = os.path.join(EXAMPLES, "old-format-beam.spn")
        model = spanlab.Model.load(path)
        status, text, _ = cli("lines", path)
        self.assertEqual(status, 0)
        self.assertEqual(model.lines, text.splitlines())
        self.assertEqual(len(model.notices), 1)
        self.assertIn("created in a previous version of Spanlab", model.notices[0])
        model.run()
        # A line over 80 characters: the load stops, unless told to keep the first 80.
        with open(path, "rb") as f:
            first, rest = f.read().split(b"\n", 1)
        longer = first + b" and then some more words, well past eighty characters"
        with open(self.path("long.spn"), "wb") as f:
            f.write(longer + b"\n" + rest)
        with self.assertRaisesRegex(ValueError, "^Opening '.*long.spn' was cancelled: line 1 has "
                                                "more than 80 characters."):
            spanlab.Model.load(self.path("long.spn"))
        cut = spanlab.Model.load(self.path("long.spn"), truncate_long_lines=True)
        self.assertEqual(cut.lines[1], longer.decode()[:80])
        self.assertEqual(cut.lines[2:], model.lines[2:])

    def test_a_file_that_cannot_be_written(self):
        model = spanlab.Model.from_lines(continuous_beam(1))
        for write in (model.save, model.run().to_csv):
            with self.assertRaisesRegex(OSError, "^Cannot save '.*/no/such/folder/a'"):
                write(self.path("no/such/folder/a"))
        os.mkdir(self.path("folder"))
        with self.assertRaises(OSError):
            model.save(self.path("folder"))
        self.assertTrue(os.path.isdir(self.path("folder")))

    def test_paths_may_be_pathlike_or_bytes(self):
        import pathlib
        spanlab.Model.from_lines(HEAD).save(pathlib.Path(self.path("a.spn")))
        self.assertEqual(spanlab.Model.load(os.fsencode(self.path("a.spn"))).lines, HEAD)


def _cli_bytes(*args):
    """The standard output of spanlab-cli ARGS, as bytes."""
    return subprocess.run([CLI, *args], capture_output=True).stdout


class BadInputRaises(Scratch):
    """Every bad input is an exception with a message that says what is wrong."""

    def test_files_that_cannot_be_read(self):
        with self.assertRaisesRegex(FileNotFoundError, "No such file"):
            spanlab.Model.load(self.path("missing.spn"))
        with self.assertRaisesRegex(IsADirectoryError, "it is a folder, not a file"):
            spanlab.Model.load(self.tmp)
        os.mkfifo(self.path("pipe"))
        self.assert_returns_soon(spanlab.Model.load, self.path("pipe"),
                                 OSError, "it is a named pipe, not a file")
        with open(self.path("huge.spn"), "wb") as f:
            f.truncate(129 << 20)  # sparse: refused before a byte is read
        with self.assertRaisesRegex(OSError, "the file is larger than 128 MB"):
            spanlab.Model.load(self.path("huge.spn"))
        with open(self.path("random.bin"), "wb") as f:
            f.write(bytes(range(256)) * 4)
        with self.assertRaisesRegex(ValueError, "holds binary data, not text"):
            spanlab.Model.load(self.path("random.bin"))
        with open(self.path("damaged.spn"), "wb") as f:
            f.write(b"Spanlab File Version = 3.0\n\x05\x00\x0fFile Format:3.0")
        with self.assertRaisesRegex(ValueError, "^Cannot open '.*damaged.spn'"):
            spanlab.Model.load(self.path("damaged.spn"))
        for path, error in ((3, TypeError), ("", ValueError), ("a\0b", ValueError)):
            with self.assertRaises(error):
                spanlab.Model.load(path)

    def assert_returns_soon(self, function, argument, error, pattern):
        """A call that must raise, not hang: it runs in a thread given 20 s."""
        outcome = []

        def call():
            try:
                function(argument)
                outcome.append(None)
            except Exception as e:  # noqa: BLE001 (the test looks at whatever it was)
                outcome.append(e)
        worker = threading.Thread(target=call, daemon=True)
        worker.start()
        worker.join(20)
        self.assertFalse(worker.is_alive(), "the call hangs")
        self.assertIsInstance(outcome[0], error)
        self.assertRegex(str(outcome[0]), pattern)

    def test_lines_of_the_wrong_kind(self):
        cases = [("File Format:3.0", TypeError, "not one str: split it"),
                 (b"File Format:3.0", TypeError, "not one bytes"),
                 (42, TypeError, "takes a list of str, not int"),
                 (None, TypeError, "not NoneType"),
                 ([], ValueError, "the list of lines is empty"),
                 (HEAD + [7], TypeError, "^line 3 is a int, not a str"),
                 (HEAD + [b"Support: X = 0;"], TypeError, "^line 3 is a bytes"),
                 (HEAD + ["bad \ud800 surrogate"], ValueError, "^line 3 holds characters that")]
        for lines, error, pattern in cases:
            with self.subTest(lines=repr(lines)[-40:]):
                with self.assertRaisesRegex(error, pattern):
                    spanlab.Model.from_lines(lines)
        # Any iterable of str will do.
        self.assertEqual(spanlab.Model.from_lines(iter(HEAD)).lines, HEAD)

    def test_too_many_lines_are_refused_before_they_are_copied(self):
        too_many = [""] * (spanlab._core.max_model_lines + 1)
        with self.assertRaisesRegex(ValueError, "4000001 lines"):
            spanlab.Model.from_lines(too_many)

    def test_model_errors_carry_the_log_and_codes(self):
        model = spanlab.Model.from_lines(HEAD + ["Support: X = nan; Disp = 0;", "Warble",
                                                 "Point Load: X = inf; PLoad = -1;"])
        with self.assertRaises(spanlab.ModelError) as caught:
            model.run()
        self.assertNotIsInstance(caught.exception, spanlab.AnalysisError)
        self.assertIsInstance(caught.exception, ValueError)
        self.assertEqual(caught.exception.codes, ["F11", "F3", "F11"])
        self.assertEqual(str(caught.exception), model.check())
        self.assertEqual(model.check(), "\n".join([
            "Error F11 - Invalid X value: Support: X = nan; Disp = 0;",
            "Error F3 - Line type not found: Warble",
            "Error F11 - Invalid X value: Point Load: X = inf; PLoad = -1;",
            "Format errors detected - data check cancelled.",
            " 3 Error(s),   0 Warning(s)", ""]))
        with self.assertRaises(spanlab.ModelError):  # the same again, without a new run
            model.run()
        # Errors and models cross to worker processes and back whole.
        copy = pickle.loads(pickle.dumps(caught.exception))
        self.assertEqual((type(copy), copy.log, copy.codes),
                         (spanlab.ModelError, caught.exception.log, ["F11", "F3", "F11"]))
        self.assertEqual(pickle.loads(pickle.dumps(model)).lines, model.lines)

    def test_analysis_errors(self):
        support = "Support: X = 0; Disp = 0; Rotation = 0;"
        cases = [(["Support: X = 0; Disp = 0;", "Point Load: X = 10; PLoad = -1;"], ["A3"], False),
                 ([support, "Point Load: X = 10; PLoad = -1e300;"], ["A2"], True),
                 ([support, "Point Load: X = 1e-9; PLoad = -1;"], ["A1"], False),
                 ([support, "Point Load: X = 10; PLoad = -1e308;"], ["A2", "A4"], False)]
        for extra, codes, has_results in cases:
            with self.subTest(codes=codes):
                with self.assertRaises(spanlab.AnalysisError) as caught:
                    spanlab.Model.from_lines(HEAD + extra).run()
                self.assertEqual(caught.exception.codes, codes)
                for code in codes:
                    self.assertIn("\nError %s - " % code, str(caught.exception))
                self.assertEqual(caught.exception.results is not None, has_results)
                copy = pickle.loads(pickle.dumps(caught.exception))
                self.assertEqual((type(copy), copy.codes, copy.results),
                                 (spanlab.AnalysisError, codes, None))

    def test_positions_that_are_not_on_the_beam(self):
        results = spanlab.Model.from_lines(continuous_beam(2)).run()
        for x, pattern in ((float("nan"), "^x nan is not a finite number: give a position from "
                                          "0 to 20 feet"),
                           (float("inf"), "^x inf is not a finite number"),
                           ([1.0, -0.5], "^x -0.5 is outside the beam"),
                           (20.000001, "^x 20.000001 is outside the beam")):
            with self.assertRaisesRegex(ValueError, pattern):
                results.at(x)
        for x in ("7", [1, "b"], None, True, {"x": 1}):
            with self.assertRaises(TypeError):
                results.at(x)
        self.assertEqual(results.at(20.0)["deflection"], 0.0)
        self.assertEqual(results.at(np.float32(5))["shear"], results.at(5)["shear"])

    def test_results_are_read_only(self):
        results = spanlab.Model.from_lines(continuous_beam(2)).run()
        with self.assertRaises(ValueError):
            results.moment[0] = 1.0
        with self.assertRaises(ValueError):
            results.reactions["force"][0] = 1.0


class Threads(unittest.TestCase):
    def test_two_models_at_once_equal_one_after_the_other(self):
        lines = [continuous_beam(1500), continuous_beam(2500, span=7.5, load=-3)]
        sequential = [spanlab.Model.from_lines(l).run() for l in lines]
        models = [spanlab.Model.from_lines(l) for l in lines]
        start = threading.Barrier(2)
        parallel = [None, None]

        def run(k):
            start.wait()
            parallel[k] = models[k].run()
        workers = [threading.Thread(target=run, args=(k,)) for k in range(2)]
        for w in workers:
            w.start()
        for w in workers:
            w.join()
        for one, other in zip(sequential, parallel):
            self.assertEqual(one.log, other.log)
            for name in ("x", "deflection", "rotation", "shear_left", "moment_right"):
                self.assertEqual(getattr(one, name).tobytes(), getattr(other, name).tobytes())
            self.assertEqual(one.to_dict(), other.to_dict())

    def test_python_code_runs_while_a_model_runs(self):
        # This thread keeps time while another runs a large model. Were the interpreter lock
        # held through the run, this thread would stop for about the whole run.
        model = spanlab.Model.from_lines(continuous_beam(150000))
        done, took = threading.Event(), []

        def run():
            begin = time.perf_counter()
            model.run()
            took.append(time.perf_counter() - begin)
            done.set()
        worker = threading.Thread(target=run)
        last = time.perf_counter()
        longest = 0.0
        worker.start()
        while not done.is_set():
            now = time.perf_counter()
            longest = max(longest, now - last)
            last = now
        worker.join()
        self.assertLess(longest, took[0] / 2)


class NoQt(unittest.TestCase):
    def test_import_and_run_load_no_qt_library(self):
        code = ("import spanlab; spanlab.Model.load(%r).run()\n"
                "print(sorted({l.split()[-1] for l in open('/proc/self/maps') "
                "if 'libQt' in l}))" % os.path.join(EXAMPLES, "two-span-floor-beam.spn"))
        done = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(done.stdout, "[]\n")
        ldd = shutil.which("ldd")
        if ldd:
            linked = subprocess.run([ldd, spanlab._core.__file__], capture_output=True,
                                    text=True).stdout
            self.assertIn("libstdc++", linked)
            self.assertNotIn("libQt", linked)


class Help(unittest.TestCase):
    def test_every_public_name_has_a_docstring(self):
        for name in spanlab.__all__:
            item = getattr(spanlab, name)
            self.assertTrue(item.__doc__ and len(item.__doc__) > 40, name)
            for member, value in vars(item).items() if isinstance(item, type) else ():
                if not member.startswith("_") and callable(getattr(value, "__get__", None)):
                    self.assertTrue(getattr(value, "__doc__", None), "%s.%s" % (name, member))


if __name__ == "__main__":
    unittest.main()

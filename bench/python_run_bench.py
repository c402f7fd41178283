#!/usr/bin/env python3
"""Times the Python module's Model.run() against the engine's own run of the same lines.

    PYTHONPATH=build/python python3 bench/python_run_bench.py [BUILD_DIR]

For 1,000 and 100,000 spans (the lines of SpansModel in bench/run_bench.cpp: a support every
10 ft, a point load in each span, a uniform load over the whole beam) it prints the best and the
median time of Model.run() (checks, analysis, extremes and the node arrays filled in C++) on a
fresh Model each time, and of Model.from_lines() before it, then runs BM_RunSpans of
BUILD_DIR/spanlab-run-bench (default build/) for the engine's time of the same run and prints
the ratio. A measurement to run by hand, not a test.
"""
import json
import os
import statistics
import subprocess
import sys
import time

import spanlab


def spans_model(spans):
    lines = ["File Format:3.0", "Units:English;", "Member Property: X = 0; E = 29000; I = 448;",
             "Uniform Load: XStart = 0; XEnd = %d; UStart = -0.5; UEnd = -0.5;" % (10 * spans)]
    for i in range(spans + 1):
        lines.append("Support: X = %d; Disp = 0;" % (10 * i))
        if i < spans:
            lines.append("Point Load: X = %d; PLoad = -2;" % (10 * i + 5))
    return lines


def time_python(spans, repeats):
    lines = spans_model(spans)
    make, run = [], []
    for _ in range(repeats):
        begin = time.perf_counter()
        model = spanlab.Model.from_lines(lines)
        middle = time.perf_counter()
        results = model.run()
        end = time.perf_counter()
        make.append(middle - begin)
        run.append(end - middle)
        assert len(results.moment) == len(results.x) > spans
        del results, model  # freed outside the timed part, as the engine's benchmark does
    return make, run


def engine_times(build):
    """The real times in seconds of the repetitions of BM_RunSpans/N, by N."""
    bench = os.path.join(build, "spanlab-run-bench")
    out = subprocess.run([bench, "--benchmark_filter=BM_RunSpans", "--benchmark_format=json",
                          "--benchmark_repetitions=7"],
                         capture_output=True, text=True, check=True).stdout
    times = {}
    for b in json.loads(out)["benchmarks"]:
        if b.get("run_type") == "iteration":
            spans = int(b["run_name"].split("/")[1])
            times.setdefault(spans, []).append(b["real_time"] / 1000.0)  # reported in ms
    return times


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    engine = engine_times(build)
    print("times in ms: best / median; ratio = Model.run() / engine (best, median)")
    print("%8s %12s %18s %18s %12s" % ("spans", "from_lines", "Model.run()", "engine", "ratio"))
    for spans, repeats in ((1000, 200), (100000, 15)):
        make, run = time_python(spans, repeats)
        mine = (min(run), statistics.median(run))
        theirs = (min(engine[spans]), statistics.median(engine[spans]))
        print("%8d %12.2f %8.2f / %7.2f %8.2f / %7.2f %5.2f, %4.2f" % (
            spans, 1e3 * statistics.median(make), 1e3 * mine[0], 1e3 * mine[1],
            1e3 * theirs[0], 1e3 * theirs[1], mine[0] / theirs[0], mine[1] / theirs[1]))


if __name__ == "__main__":
    main()

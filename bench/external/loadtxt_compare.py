#!/usr/bin/python3
"""Whole-process count and read of a 4,000,000 x 3 "%.10g" table by
welmo_bench (BM_CountAndReadNamedFile) beside numpy.loadtxt of the same
file, and the ratio of their times.

    /usr/bin/python3 bench/external/loadtxt_compare.py BUILD/bench/welmo_bench [RUNS]

The table has the shape of the one in ReaderBench.cpp: a one-line header
of three words, then a time column, a tone and small normal noise. Each
program runs RUNS times (default 3) as a fresh process; the best time of
each counts, so that the ratio shows the programs and not the machine's
other load. Needs numpy for /usr/bin/python3 (Debian: python3-numpy).
"""

import math
import os
import random
import subprocess
import sys
import tempfile
import time

ROWS = 4_000_000
FILTER = "BM_CountAndReadNamedFile/0/"


def write_table(path):
    rng = random.Random(4000000)
    with open(path, "w", encoding="ascii") as out:
        out.write("time signal noise\n")
        lines = []
        for r in range(ROWS):
            lines.append("%.10g %.10g %.10g\n" % (
                r * 0.001, math.sin(2 * math.pi * 0.0123 * r), rng.gauss(0.0, 1e-3)))
            if len(lines) == 100_000:
                out.writelines(lines)
                lines.clear()
        out.writelines(lines)


def best_time(command, env, runs):
    best = math.inf
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(command, env=env, check=True, stdout=subprocess.DEVNULL)
        best = min(best, time.perf_counter() - start)
    return best


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    bench = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "table_4m_x3.dat")
        write_table(path)

        welmo_env = dict(os.environ, WELMO_READER_BENCH_FILE=path)
        welmo = best_time([bench, "--benchmark_filter=" + FILTER], welmo_env, runs)

        # numpy may pick a BLAS tuned by these; its reading must not.
        numpy_env = dict(os.environ)
        numpy_env.pop("OPENBLAS_CORETYPE", None)
        numpy_env.pop("OPENBLAS_L2_SIZE", None)
        script = ("import numpy, sys\n"
                  "column = numpy.loadtxt(sys.argv[1], skiprows=1, usecols=2, dtype=numpy.float32)\n"
                  "assert column.shape == (%d,)\n" % ROWS)
        loadtxt = best_time([sys.executable, "-c", script, path], numpy_env, runs)

    print("welmo count+read (whole process): %.3f s" % welmo)
    print("numpy.loadtxt (whole process):    %.3f s" % loadtxt)
    print("ratio loadtxt / welmo:            %.1fx" % (loadtxt / welmo))


if __name__ == "__main__":
    main()

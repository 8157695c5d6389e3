#!/usr/bin/python3
"""Whole-process reads of a 4,000,000 x 3 "%.10g" table by welmo_bench:
the one-pass read (BM_ReadWholeNamedFile), the count and read
(BM_CountAndReadNamedFile) and the plain fscanf count and read
(BM_PlainCountAndReadNamedFile), beside numpy.loadtxt of the same file, and
the ratios of their times.

    /usr/bin/python3 bench/external/loadtxt_compare.py BUILD/bench/welmo_bench [RUNS [WELMO_PSD]]

With WELMO_PSD (the welmo-psd program) the whole welmo-psd process on the
same table is timed too: its default job (the largest PSD size, and the
export of its bins) and the same with --psd-size 1024, where the read is
most of the work.

Each side is also timed in process: the best of RUNS count+read calls in
one welmo_bench process (--benchmark_repetitions) beside the best of RUNS
numpy.loadtxt calls in one interpreter. On machines whose processors take a
moment to reach full speed, a short process starts slower than a long one,
and the in-process ratio shows the readers alone.

The table has the shape of the one in ReaderBench.cpp: a one-line header
of three words, then a time column, a tone and small normal noise. The
programs take turns RUNS times (default 3), each run a fresh process; the
best time of each counts, so that the ratio shows the programs and not the
machine's other load. Needs numpy for /usr/bin/python3 (Debian: python3-numpy).
"""

import json
import os
import subprocess
import sys
import tempfile

from table_runs import ROWS, best_times, numpy_env, write_table

FILTER = "^BM_CountAndReadNamedFile/0/"
ONE_PASS_FILTER = "^BM_ReadWholeNamedFile/0/"
PLAIN_FILTER = "^BM_PlainCountAndReadNamedFile/"


def welmo_in_process(bench, env, runs, benchmark_filter=FILTER):
    out = subprocess.run(
        [bench, "--benchmark_filter=" + benchmark_filter, "--benchmark_format=json",
         "--benchmark_repetitions=%d" % runs],
        env=env, check=True, capture_output=True, text=True).stdout
    times = [b["real_time"] for b in json.loads(out)["benchmarks"]
             if b.get("run_type") == "iteration"]
    scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
    unit = json.loads(out)["benchmarks"][0]["time_unit"]
    return min(times) * scale[unit]


def loadtxt_in_process(path, env, runs):
    script = ("import numpy, sys, time\n"
              "best = float('inf')\n"
              "for _ in range(%d):\n"
              "    start = time.perf_counter()\n"
              "    numpy.loadtxt(sys.argv[1], skiprows=1, usecols=2, dtype=numpy.float32)\n"
              "    best = min(best, time.perf_counter() - start)\n"
              "print(best)\n" % runs)
    out = subprocess.run([sys.executable, "-c", script, path], env=env, check=True,
                         capture_output=True, text=True).stdout
    return float(out)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    bench = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    welmo_psd = os.path.abspath(sys.argv[3]) if len(sys.argv) > 3 else None
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "table_4m_x3.dat")
        write_table(path)

        welmo_env = dict(os.environ, WELMO_READER_BENCH_FILE=path)
        script = ("import numpy, sys\n"
                  "column = numpy.loadtxt(sys.argv[1], skiprows=1, usecols=2, dtype=numpy.float32)\n"
                  "assert column.shape == (%d,)\n" % ROWS)
        commands = {
            "count+read": [bench, "--benchmark_filter=" + FILTER],
            "one-pass": [bench, "--benchmark_filter=" + ONE_PASS_FILTER],
            "loadtxt": ([sys.executable, "-c", script, path], numpy_env()),
        }
        if welmo_psd:
            layout = ["--header-tokens", "3", "--columns", "3", "--column", "3",
                      "--output", os.path.join(folder, "spectrum.dat")]
            commands["default job"] = [welmo_psd] + layout + [path]
            commands["--psd-size 1024"] = [welmo_psd, "--psd-size", "1024"] + layout + [path]
        times = best_times(commands, runs, welmo_env)
        plain = best_times({"plain": [bench, "--benchmark_filter=" + PLAIN_FILTER]}, 1,
                           welmo_env)["plain"]
        welmo, one_pass, loadtxt = times["count+read"], times["one-pass"], times["loadtxt"]
        batch = {job: times[job] for job in ("default job", "--psd-size 1024") if job in times}
        welmo_warm = welmo_in_process(bench, welmo_env, runs)
        one_pass_warm = welmo_in_process(bench, welmo_env, runs, ONE_PASS_FILTER)
        loadtxt_warm = loadtxt_in_process(path, numpy_env(), runs)

    print("welmo count+read (whole process): %.3f s" % welmo)
    print("numpy.loadtxt (whole process):    %.3f s" % loadtxt)
    print("ratio loadtxt / welmo:            %.1fx" % (loadtxt / welmo))
    print("welmo count+read (in process):    %.3f s" % welmo_warm)
    print("numpy.loadtxt (in process):       %.3f s" % loadtxt_warm)
    print("ratio in process:                 %.1fx" % (loadtxt_warm / welmo_warm))
    print("welmo one-pass read (whole process): %.3f s" % one_pass)
    print("ratio loadtxt / one-pass:            %.1fx" % (loadtxt / one_pass))
    print("plain fscanf count+read (whole process, one run): %.3f s" % plain)
    print("ratio fscanf / one-pass:             %.1fx" % (plain / one_pass))
    print("welmo one-pass read (in process):    %.3f s" % one_pass_warm)
    print("ratio in process, one-pass:          %.1fx" % (loadtxt_warm / one_pass_warm))
    for job, seconds in batch.items():
        print("welmo-psd, %s (whole process): %.3f s; loadtxt / it %.1fx, fscanf / it %.1fx"
              % (job, seconds, loadtxt / seconds, plain / seconds))


if __name__ == "__main__":
    main()

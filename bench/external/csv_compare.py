#!/usr/bin/python3
"""Whole-process reads of a 4,000,000 x 3 CSV table with a header line:
welmo-psd --separator , beside pandas.read_csv (C engine) and
numpy.loadtxt(delimiter=','), each a fresh process, and the ratios of
their times.

    /usr/bin/python3 bench/external/csv_compare.py BUILD/tools/welmo-psd [RUNS]

welmo-psd reads the second column and estimates with --psd-size 1024, so
that the read is most of its work; the two python readers read the whole
table. The same table with blanks for commas, through welmo-psd's plain
scan, shows what the separator costs. Each program runs RUNS times (default 3) in turn; the best time of
each counts. Needs python3-pandas and python3-numpy (Debian).
"""

import math
import os
import random
import subprocess
import sys
import tempfile
import time

ROWS = 4_000_000


def write_table(path):
    rng = random.Random(4000000)
    with open(path, "w", encoding="ascii") as out:
        out.write("time,signal,noise\n")
        lines = []
        for r in range(ROWS):
            lines.append("%.10g,%.10g,%.10g\n" % (
                r * 0.001, math.sin(2 * math.pi * 0.0123 * r), rng.gauss(0.0, 1e-3)))
            if len(lines) == 100_000:
                out.writelines(lines)
                lines.clear()
        out.writelines(lines)


def best_time(command, runs):
    best = math.inf
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
        best = min(best, time.perf_counter() - start)
    return best


def main():
    welmo_psd = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    with tempfile.TemporaryDirectory() as folder:
        table = os.path.join(folder, "table.csv")
        write_table(table)
        blanks = os.path.join(folder, "table.dat")
        with open(table, encoding="ascii") as source, open(blanks, "w", encoding="ascii") as out:
            for line in source:
                out.write(line.replace(",", " "))
        python = sys.executable
        commands = {
            "welmo-psd --separator ,": [welmo_psd, "--separator", ",", "--header-tokens", "3",
                                        "--columns", "3", "--column", "2", "--psd-size", "1024",
                                        "--output", os.path.join(folder, "out.dat"), table],
            "welmo-psd, blanks": [welmo_psd, "--header-tokens", "3", "--columns", "3",
                                  "--column", "2", "--psd-size", "1024",
                                  "--output", os.path.join(folder, "out2.dat"), blanks],
            "pandas.read_csv": [python, "-c",
                                "import sys, pandas; pandas.read_csv(sys.argv[1], engine='c')",
                                table],
            "numpy.loadtxt": [python, "-c",
                              "import sys, numpy; numpy.loadtxt(sys.argv[1], delimiter=',', "
                              "skiprows=1)", table],
        }
        times = {name: best_time(command, runs) for name, command in commands.items()}
    welmo = times["welmo-psd --separator ,"]
    for name, seconds in times.items():
        print("%-26s %8.3f s  %6.2fx welmo-psd" % (name, seconds, seconds / welmo))


if __name__ == "__main__":
    main()

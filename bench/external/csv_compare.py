#!/usr/bin/python3
"""Whole-process reads of a 4,000,000 x 3 CSV table with a header line:
welmo-psd --separator , beside pandas.read_csv (C engine) and
numpy.loadtxt(delimiter=','), each a fresh process, and the ratios of
their times.

    /usr/bin/python3 bench/external/csv_compare.py BUILD/tools/welmo-psd [RUNS [OTHER_WELMO_PSD]]

welmo-psd reads the second column and estimates with --psd-size 1024, so
that the read is most of its work; the two python readers read the whole
table. The same table with blanks for commas, through welmo-psd's plain
scan, shows what the separator costs; OTHER_WELMO_PSD (another build) runs
both tables too. The programs take turns RUNS times (default 3); the best
time of each counts. Needs python3-pandas and python3-numpy (Debian).
"""

import os
import sys
import tempfile

from table_runs import best_times, numpy_env, write_table


def welmo_command(program, table, output, separated):
    command = [program]
    if separated:
        command += ["--separator", ","]
    return command + ["--header-tokens", "3", "--columns", "3", "--column", "2",
                      "--psd-size", "1024", "--output", output, table]


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    welmo_psd = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    other = os.path.abspath(sys.argv[3]) if len(sys.argv) > 3 else None
    with tempfile.TemporaryDirectory() as folder:
        table = os.path.join(folder, "table.csv")
        blanks = os.path.join(folder, "table.dat")
        write_table(table, ",")
        write_table(blanks, " ")
        output = os.path.join(folder, "out.dat")
        python = sys.executable
        commands = {
            "welmo-psd --separator ,": welmo_command(welmo_psd, table, output, True),
            "welmo-psd, blanks": welmo_command(welmo_psd, blanks, output, False),
        }
        if other:
            commands["other --separator ,"] = welmo_command(other, table, output, True)
            commands["other, blanks"] = welmo_command(other, blanks, output, False)
        commands["pandas.read_csv"] = (
            [python, "-c", "import sys, pandas; pandas.read_csv(sys.argv[1], engine='c')",
             table], numpy_env())
        commands["numpy.loadtxt"] = (
            [python, "-c", "import sys, numpy; numpy.loadtxt(sys.argv[1], delimiter=',', "
             "skiprows=1)", table], numpy_env())
        times = best_times(commands, runs)
    welmo = times["welmo-psd --separator ,"]
    for name, seconds in times.items():
        print("%-26s %8.3f s  %6.2fx welmo-psd" % (name, seconds, seconds / welmo))
    print_ratios(times, other is not None)


def print_ratios(times, with_other):
    """The ratios of bench/README.md, for this build and beside it the
    other: each reader's time over the CSV job's, and the blank table's
    time in the other build over this one's."""
    builds = [("this", "welmo-psd")] + ([("other", "other")] if with_other else [])
    for label, reference in [("pandas.read_csv", "pandas.read_csv"),
                             ("numpy.loadtxt", "numpy.loadtxt"),
                             ("blank table", None)]:
        ratios = []
        for build, prefix in builds:
            csv = times[prefix + " --separator ,"]
            mine = times[reference] if reference else times[prefix + ", blanks"]
            ratios.append("%s %.2fx" % (build, mine / csv))
        print("%-16s / the CSV job: %s" % (label, ", ".join(ratios)))
    if with_other:
        print("blank table, other / this: %.2fx"
              % (times["other, blanks"] / times["welmo-psd, blanks"]))


if __name__ == "__main__":
    main()

"""What csv_compare.py and loadtxt_compare.py share: the 4,000,000 x 3 table
of ReaderBench.cpp (a one-line header of three names, then a time column,
a tone and small normal noise, each "%.10g"), written with a chosen
separator, and whole-process timings taken in turn.
"""

import math
import os
import random
import subprocess
import time

ROWS = 4_000_000
NAMES = ("time", "signal", "noise")


def write_table(path, separator=" "):
    """The table, its fields apart by `separator`."""
    rng = random.Random(4000000)
    with open(path, "w", encoding="ascii") as out:
        out.write(separator.join(NAMES) + "\n")
        row = separator.join(["%.10g"] * 3) + "\n"
        lines = []
        for r in range(ROWS):
            lines.append(row % (r * 0.001, math.sin(2 * math.pi * 0.0123 * r),
                                rng.gauss(0.0, 1e-3)))
            if len(lines) == 100_000:
                out.writelines(lines)
                lines.clear()
        out.writelines(lines)


def numpy_env():
    """The environment for numpy, which may pick a BLAS tuned by these
    variables; its reading must not."""
    env = dict(os.environ)
    env.pop("OPENBLAS_CORETYPE", None)
    env.pop("OPENBLAS_L2_SIZE", None)
    return env


def best_times(commands, runs, env=None):
    """The best of `runs` whole-process times of each named command, in
    seconds. The commands take turns, one run of each in every round, so
    that a change in the machine's load falls on all of them alike.
    `commands` maps a name to an argument list, or to (arguments, env)."""
    best = {name: math.inf for name in commands}
    for _ in range(runs):
        for name, command in commands.items():
            arguments, command_env = command if isinstance(command, tuple) else (command, env)
            start = time.perf_counter()
            subprocess.run(arguments, env=command_env, check=True, stdout=subprocess.DEVNULL)
            best[name] = min(best[name], time.perf_counter() - start)
    return best

#!/usr/bin/python3
"""Times scipy.signal.welch beside welmo's estimate on five shapes.

Both estimate the averaged, Hann-windowed, mean-removed periodogram of K
segments of 2M samples that start S samples apart, on a tone in noise of N
single-precision samples. welmo's side is the BM_WelchCase benchmark of
welmo_bench (computeSpectrum on every core, with its normalization and
logarithm); scipy's side is welch() with nperseg = 2M, noverlap = 2M - S and
just enough samples for the same K segments. Each shape is timed on both
sides one right after the other; the medians of a few runs are compared.

Run with the system's interpreter and Debian's python3-scipy, and with the
OpenBLAS processor overrides unset for this command only:

    env -u OPENBLAS_CORETYPE -u OPENBLAS_L2_SIZE /usr/bin/python3 \\
        bench/external/welch_compare.py --bench build/bench/welmo_bench
"""

import argparse
import json
import os
import statistics
import subprocess
import sys
import time

import numpy as np
from scipy import signal

# (N, M, K, S)
SHAPES = [
    (1 << 22, 1 << 14, 64, 1 << 15),
    (1 << 24, 1 << 16, 64, 1 << 17),
    (4000000, 512, 7810, 512),
    (1 << 22, 1 << 21, 1, 0),
    (1 << 24, 1 << 23, 1, 0),
]


def tone_in_noise(n):
    rng = np.random.default_rng(777)
    t = np.arange(1, n + 1, dtype=np.float64)
    return (np.sin(0.05 * t) + rng.standard_normal(n)).astype(np.float32)


def scipy_seconds(x, m, k, s, repeats):
    nperseg = 2 * m
    noverlap = nperseg - s if k > 1 else 0
    used = x[: (k - 1) * s + nperseg] if k > 1 else x[:nperseg]
    segments = (len(used) - noverlap) // (nperseg - noverlap)
    if segments != k:
        raise RuntimeError(f"scipy would average {segments} segments, not {k}")
    times = []
    for _ in range(repeats):
        start = time.perf_counter()
        signal.welch(used, window="hann", nperseg=nperseg, noverlap=noverlap,
                     detrend="constant")
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def welmo_seconds(bench, n, m, k, s, repeats):
    name = f"BM_WelchCase/N:{n}/M:{m}/K:{k}/S:{s}"
    out = subprocess.run(
        [bench, f"--benchmark_filter=^{name}$", "--benchmark_format=json",
         f"--benchmark_repetitions={repeats}"],
        check=True, capture_output=True, text=True).stdout
    runs = [b for b in json.loads(out)["benchmarks"]
            if b.get("run_type") == "iteration" and b["run_name"] == name]
    if not runs:
        raise RuntimeError(f"{bench} ran no {name}")
    scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
    return statistics.median(r["real_time"] * scale[r["time_unit"]] for r in runs)


def openblas_kernel():
    try:
        from threadpoolctl import threadpool_info
    except ImportError:
        return "unknown (no threadpoolctl)"
    kernels = [i.get("architecture", "?") for i in threadpool_info()
               if i.get("internal_api") == "openblas"]
    return ", ".join(kernels) or "none loaded"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--bench", default=os.path.join(here, "..", "..", "build", "bench",
                                                        "welmo_bench"))
    parser.add_argument("--repeats", type=int, default=3)
    args = parser.parse_args()

    print(f"scipy {__import__('scipy').__version__}, numpy {np.__version__}, "
          f"OpenBLAS kernel: {openblas_kernel()}")
    print(f"{'N':>10} {'M':>9} {'K':>5} {'S':>7} {'scipy s':>9} {'welmo s':>9} {'ratio':>7}")
    series = {}
    worst = None
    for n, m, k, s in SHAPES:
        if n not in series:
            series[n] = tone_in_noise(n)
        theirs = scipy_seconds(series[n], m, k, s, args.repeats)
        ours = welmo_seconds(args.bench, n, m, k, s, args.repeats)
        ratio = theirs / ours
        worst = ratio if worst is None else min(worst, ratio)
        print(f"{n:>10} {m:>9} {k:>5} {s:>7} {theirs:>9.4f} {ours:>9.4f} {ratio:>6.2f}x",
              flush=True)
    print(f"smallest ratio scipy/welmo: {worst:.2f}x (target 3x)")
    return 0


if __name__ == "__main__":
    sys.exit(main())

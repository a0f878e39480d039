#!/usr/bin/env python3
"""Runs two commands in interleaved pairs (A, B, A, B, ...) and prints, for each, the
median and minimum of its wall time and of its CPU time (user + system, the process and
its children), its peak resident size, and the ratios of the medians A / B, with the load
average before and after. Interleaving keeps a changing machine load from favouring
either side; medians keep one slow round from deciding.

Usage: pairs.py [--rounds N] [--warmup N] [--label-a A] [--label-b B] [--status-a S]
                [--status-b S] 'COMMAND A' 'COMMAND B'
Each command is split like a shell line (no shell runs it); its output is discarded and an
exit status other than the expected one (0 unless given) stops the run."""
import argparse
import os
import resource
import shlex
import statistics
import subprocess
import sys
import time


def run(argv, expected=0):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    done = subprocess.run(argv, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    if done.returncode != expected:
        sys.exit(f"{argv[0]} exited with {done.returncode}: {done.stderr.decode(errors='replace')}")
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return wall * 1000, cpu * 1000


def peak_rss_mib(argv):
    # ru_maxrss of RUSAGE_CHILDREN is the largest child so far, so measure in a fresh child.
    code = ("import resource,subprocess,sys;"
            "subprocess.run(sys.argv[1:],stdout=subprocess.DEVNULL,stderr=subprocess.DEVNULL);"
            "print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)")
    out = subprocess.run([sys.executable, "-c", code, *argv], capture_output=True, text=True)
    return int(out.stdout.strip() or 0) / 1024


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--rounds", type=int, default=30)
    parser.add_argument("--warmup", type=int, default=2)
    parser.add_argument("--label-a", default="A")
    parser.add_argument("--label-b", default="B")
    parser.add_argument("--status-a", type=int, default=0,
                        help="the exit status command A is expected to end with")
    parser.add_argument("--status-b", type=int, default=0,
                        help="the exit status command B is expected to end with")
    parser.add_argument("a")
    parser.add_argument("b")
    args = parser.parse_args()
    a, b = shlex.split(args.a), shlex.split(args.b)

    load_before = os.getloadavg()
    for _ in range(args.warmup):
        run(a, args.status_a), run(b, args.status_b)
    times = {"a": [], "b": []}
    for i in range(args.rounds):
        # Alternate which side goes first, so neither always runs on a warm cache.
        order = ("a", "b") if i % 2 == 0 else ("b", "a")
        for side in order:
            times[side].append(run(a, args.status_a) if side == "a" else run(b, args.status_b))
    load_after = os.getloadavg()

    def stats(side, k):
        values = [t[k] for t in times[side]]
        return statistics.median(values), min(values)

    print(f"rounds {args.rounds}, load average {load_before[0]:.2f} before, "
          f"{load_after[0]:.2f} after")
    for side, label, argv in (("a", args.label_a, a), ("b", args.label_b, b)):
        (wm, wn), (cm, cn) = stats(side, 0), stats(side, 1)
        print(f"{label:<28} wall median {wm:8.1f} ms  min {wn:8.1f}   "
              f"cpu median {cm:8.1f} ms  min {cn:8.1f}   peak {peak_rss_mib(argv):6.1f} MiB")
    wall = stats("a", 0)[0] / stats("b", 0)[0]
    cpu = stats("a", 1)[0] / stats("b", 1)[0]
    print(f"ratio {args.label_a} / {args.label_b}: wall {wall:.2f}  cpu {cpu:.2f}")


if __name__ == "__main__":
    main()

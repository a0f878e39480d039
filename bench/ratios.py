#!/usr/bin/env python3
"""Reads Google Benchmark JSON (a file, or stdin) and prints, per codec and size, our time
and the ratio ours / baseline for every baseline run beside it. Benchmarks are named
<Codec>_Ours/<n> and <Codec>_<Baseline>/<n>; with repetitions the median is used.
Usage: bench_codecs --benchmark_format=json --benchmark_repetitions=5 | bench/ratios.py"""
import json
import sys

data = json.load(open(sys.argv[1]) if len(sys.argv) > 1 else sys.stdin)
runs = data["benchmarks"]
if any(b.get("aggregate_name") == "median" for b in runs):
    runs = [b for b in runs if b.get("aggregate_name") == "median"]
times = {}
for b in runs:
    name, _, size = b.get("run_name", b["name"]).partition("/")
    codec, _, side = name.partition("_")
    times.setdefault((codec, int(size)), {})[side] = b["cpu_time"]

for (codec, size), sides in sorted(times.items()):
    if "Ours" not in sides:
        continue
    ours = sides["Ours"]
    ratios = "  ".join(f"/{side} {t:7.1f} ns = {ours / t:4.2f}"
                       for side, t in sorted(sides.items()) if side != "Ours")
    print(f"{codec:<13}{size:>4} B  ours {ours:7.1f} ns  {ratios}")

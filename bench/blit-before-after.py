#!/usr/bin/env python3
"""Two builds of bench_blit, round by round: each round runs every chosen
benchmark once in each build, the builds taking turns to go first, so a
change in the machine's load falls on both alike. Prints the median thread
processor time of each build, their ratio, and the load before and after.

  bench/blit-before-after.py OLD_BENCH NEW_BENCH [--rounds N] [--filter REGEX]
"""
import argparse
import json
import statistics
import subprocess
import tempfile


def load():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


def run(binary, pattern, min_time):
    with tempfile.NamedTemporaryFile(suffix=".json") as out:
        subprocess.run(
            [binary, "--benchmark_filter=" + pattern, "--benchmark_repetitions=1", "--benchmark_out=" + out.name,
             "--benchmark_out_format=json", "--benchmark_min_time=%ss" % min_time],
            check=True, capture_output=True, text=True)
        doc = json.load(open(out.name))
    return {b["run_name"]: b["cpu_time"] for b in doc["benchmarks"] if b.get("run_type") == "iteration"}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("old")
    parser.add_argument("new")
    parser.add_argument("--rounds", type=int, default=7)
    parser.add_argument("--filter", default="/ours$")
    parser.add_argument("--min-time", default="0.1")
    args = parser.parse_args()
    times = {"old": {}, "new": {}}
    before = load()
    for r in range(args.rounds):
        order = ["old", "new"] if r % 2 == 0 else ["new", "old"]
        for which in order:
            for name, us in run(getattr(args, which), args.filter, args.min_time).items():
                times[which].setdefault(name, []).append(us)
    after = load()
    print("load average (1, 5, 15 min) before: %s; after: %s; %d rounds" % (before, after, args.rounds))
    print("%-52s %10s %10s %8s" % ("benchmark (median thread cpu us)", "before", "after", "after/before"))
    for name in times["new"]:
        old = statistics.median(times["old"].get(name, [0])) if name in times["old"] else 0
        new = statistics.median(times["new"][name])
        ratio = "%.2f" % (new / old) if old else "n/a"
        print("%-52s %10.1f %10.1f %8s" % (name, old, new, ratio))


if __name__ == "__main__":
    main()

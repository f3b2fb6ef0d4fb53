#!/usr/bin/env python3
"""Prints the medians of reformat_perftest runs side by side: report.py label=results.json ...
Times are CPU milliseconds per pass over the 64 MiB capture; each run's ratios are to its own
memcpy of the same size, and the status-line capture's to the realistic one."""
import json
import sys

ROWS = [("memcpy", "memcpy"), ("Reformat/normal", "normal"), ("Reformat/raw", "raw"),
        ("Reformat/status_lines", "status lines")]


def medians(path):
    with open(path) as f:
        results = json.load(f)["benchmarks"]
    return {r["run_name"]: r for r in results if r.get("aggregate_name") == "median"}


def main():
    runs = [(arg.split("=", 1)[0], medians(arg.split("=", 1)[1])) for arg in sys.argv[1:]]
    header = "%-14s" % "" + "".join(" %-34s" % label for label, _ in runs)
    print(header)
    for name, title in ROWS:
        cells = []
        for _, run in runs:
            r = run[name]
            ms = r["cpu_time"]  # the benchmark reports milliseconds
            gbs = r["bytes_per_second"] / 1e9
            if name == "memcpy":
                ratio = ""
            elif name == "Reformat/status_lines":
                ratio = "%.2fx normal" % (ms / run["Reformat/normal"]["cpu_time"])
            else:
                ratio = "%.2fx memcpy" % (ms / run["memcpy"]["cpu_time"])
            cells.append("%7.1f ms %5.2f GB/s %12s" % (ms, gbs, ratio))
        print("%-14s" % title + "".join(" " + c for c in cells))


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Prints the medians of reformat_perftest runs side by side: report.py label=results.json ...
Times are CPU milliseconds per pass over the 64 MiB capture; each run's ratios are to its own
memcpy of the same size, the Linux twin's and the status-line capture's to the realistic one, and the PowerShell
captures' (the UTF-16LE one of 64 MiB; the 8-bit and UTF-16LE ones of 252-byte chunks split at
W = 79) to the 8-bit twin (32 MiB) of the first, each from the source's bytes to the log."""
import json
import sys

ROWS = [("memcpy", "memcpy"), ("Reformat/normal", "normal"), ("Reformat/raw", "raw"),
        ("Reformat/linux", "Linux twin"), ("Reformat/lines59", "lines, cut 59"),
        ("Reformat/status_lines", "status lines"), ("FromSource/twin_8bit", "PS 8-bit twin"),
        ("FromSource/utf16le", "PS UTF-16LE"), ("FromSource/twin_8bit_w79", "PS 8-bit W79"),
        ("FromSource/utf16le_w79", "PS UTF-16 W79")]


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
            r = run.get(name)
            if r is None:  # a benchmark this run does not have
                cells.append("%34s" % "-")
                continue
            ms = r["cpu_time"]  # the benchmark reports milliseconds
            gbs = r["bytes_per_second"] / 1e9
            if name in ("memcpy", "FromSource/twin_8bit"):
                ratio = ""
            elif name == "Reformat/linux":
                ratio = "%.2fx normal" % (ms / run["Reformat/normal"]["cpu_time"])
            elif name == "Reformat/status_lines":
                ratio = "%.2fx normal" % (ms / run["Reformat/normal"]["cpu_time"])
            elif name.startswith("FromSource/"):
                ratio = "%.2fx twin" % (ms / run["FromSource/twin_8bit"]["cpu_time"])
            else:
                ratio = "%.2fx memcpy" % (ms / run["memcpy"]["cpu_time"])
            cells.append("%7.1f ms %5.2f GB/s %12s" % (ms, gbs, ratio))
        print("%-14s" % title + "".join(" " + c for c in cells))


if __name__ == "__main__":
    main()

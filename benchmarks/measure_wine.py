#!/usr/bin/env python3
"""Times whole programs on one capture, round-robin, and prints medians and peak memory:
measure_wine.py <capture> <work dir> <rounds> <label>=<command with {src} and {dst}> ...
The first program is the floor that the others are compared with; a program labelled
"python" is also compared with every bootweave run. Each run writes a new file, removed
before the next; every run must exit with 0."""
import os
import shlex
import statistics
import subprocess
import sys
import time


def run_once(command, src, dst):
    if os.path.exists(dst):
        os.remove(dst)
    argv = [part.format(src=src, dst=dst) for part in shlex.split(command)]
    start = time.perf_counter()
    process = subprocess.Popen(argv, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    elapsed = time.perf_counter() - start
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode != 0:
        sys.exit("%s exited with %d" % (argv, process.returncode))
    return elapsed, usage.ru_maxrss * 1024  # ru_maxrss is in KiB on Linux


def main():
    capture, work, rounds = sys.argv[1], sys.argv[2], int(sys.argv[3])
    programs = [arg.split("=", 1) for arg in sys.argv[4:]]
    size = os.path.getsize(capture)
    times = {label: [] for label, _ in programs}
    peaks = {label: 0 for label, _ in programs}
    outputs = {}
    for _ in range(rounds):
        for label, command in programs:
            dst = os.path.join(work, "out-" + label)
            elapsed, peak = run_once(command, capture, dst)
            times[label].append(elapsed)
            peaks[label] = max(peaks[label], peak)
            outputs[label] = dst
    check_outputs(capture, outputs)
    report(programs, times, peaks, size)


def same_file(a, b):
    return subprocess.run(["cmp", "-s", a, b]).returncode == 0


def check_outputs(capture, outputs):
    for label, path in outputs.items():
        if (label.startswith("floor") or label in ("cp", "cat")) and not same_file(capture, path):
            sys.exit("%s did not copy the capture" % label)
    if "python" in outputs:
        for label, path in outputs.items():
            if label.startswith("bootweave") and not same_file(outputs["python"], path):
                sys.exit("%s and python made different logs" % label)


def report(programs, times, peaks, size):
    floor_label = programs[0][0]
    floor = statistics.median(times[floor_label])
    python = statistics.median(times["python"]) if "python" in times else None
    print("capture: %.1f MiB; medians of %d runs" % (size / 2**20, len(times[floor_label])))
    print("%-18s %9s %10s %14s %12s" % ("program", "median", "vs floor", "peak memory", "vs capture"))
    for label, _ in programs:
        median = statistics.median(times[label])
        print("%-18s %7.3f s %9.2fx %10.1f MiB %11.2fx" % (
            label, median, median / floor, peaks[label] / 2**20, peaks[label] / size))
    if python:
        for label, _ in programs:
            if label.startswith("bootweave"):
                print("python / %s: %.1fx" % (label, python / statistics.median(times[label])))


if __name__ == "__main__":
    main()

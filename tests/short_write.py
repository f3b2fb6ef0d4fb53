#!/usr/bin/env python3
"""Writes that the system cuts short. A file-size limit (setrlimit, which Wine's
writes meet) lets the exe write 16,000 of its log's 16,360 bytes: the last chunk
of 1000 bytes is taken only in part, and the run says so, for a destination file
and for standard output on a file alike (bootweave cap.txt - > out.log). The
destination file that the run made is removed; standard output, the caller's
file, keeps what was written.

usage: short_write.py BOOTWEAVE_EXE (run under Wine, as the other tests are)
"""
import os
import resource
import signal
import subprocess
import sys
import tempfile

LIMIT = 16000
MESSAGE = b"Written only 640 bytes to destination file of 1000\r\n"


def limited():
    signal.signal(signal.SIGXFSZ, signal.SIG_IGN)  # a write past the limit fails instead
    resource.setrlimit(resource.RLIMIT_FSIZE, (LIMIT, LIMIT))


def main(exe):
    failures = 0
    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, "cap.txt"), "wb") as f:
            f.write(b"(bootloader) " + b"s" * 16358 + b"\r\n")  # a log of 16,360 bytes
        for destination in ("out.log", "-"):
            path = os.path.join(folder, "out.log")  # the exe's own file, or its standard output
            with open(path if destination == "-" else os.path.join(folder, "stdout"), "wb") as out:
                run = subprocess.run(["wine", exe, "cap.txt", destination], cwd=folder, stdout=out,
                                     stderr=subprocess.PIPE, preexec_fn=limited, timeout=120,
                                     env=dict(os.environ, WINEDEBUG="-all"))
            kept = None
            if os.path.exists(path):
                with open(path, "rb") as f:
                    kept = f.read()
                os.remove(path)
            left = b"s" * LIMIT if destination == "-" else None
            ok = run.returncode == 3 and run.stderr == MESSAGE and kept == left
            print(f"{'ok' if ok else 'FAILED'}: {destination}: exit {run.returncode}, "
                  f"{run.stderr!r}, {'no file' if kept is None else len(kept)} bytes kept")
            failures += not ok
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(os.path.abspath(sys.argv[1])))

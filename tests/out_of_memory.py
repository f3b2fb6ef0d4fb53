#!/usr/bin/env python3
"""The messages of runs that the system refuses memory. A data limit of 30 MB
(setrlimit, which Wine's allocations meet) leaves the exe room to start, but not
for these captures' buffers: the largest source the program takes; a source read
whole that leaves no room for its destination buffer; a UTF-16 source whose text
takes more bytes than its units, so that it is decoded into a buffer of its own.

usage: out_of_memory.py BOOTWEAVE_EXE (run under Wine, as the other tests are)
"""
import os
import re
import resource
import subprocess
import sys
import tempfile

LIMIT = 30 << 20


def limited():
    resource.setrlimit(resource.RLIMIT_DATA, (LIMIT, LIMIT))


def main(exe):
    failures = 0
    with tempfile.TemporaryDirectory() as folder:
        cases = [
            ("largest.txt", None, 2863311529, "Cannot allocate source buffer of 2863311529 bytes"),
            ("zeros.txt", None, 64 << 20, "Cannot allocate destination buffer of 67108864 bytes"),
            ("cjk.txt", b"\xff\xfe" + "日".encode("utf-16-le") * (8 << 20), None,
             "Cannot allocate source buffer of 25165824 bytes"),
        ]
        for name, content, size, message in cases:
            path = os.path.join(folder, name)
            with open(path, "wb") as f:
                if content is None:
                    f.truncate(size)  # sparse: nothing to write, nothing read before the failure
                else:
                    f.write(content)
            # Wine's own notes on standard error stay off: the test reads the exe's.
            run = subprocess.run(["wine", exe, name, "-"], cwd=folder, capture_output=True,
                                 preexec_fn=limited, timeout=120, env=dict(os.environ, WINEDEBUG="-all"))
            err = run.stderr.decode("utf-8", "replace")
            shape = re.escape(message) + r" \(\d+ - [^\r\n]+\)\r\n"
            ok = run.returncode == 3 and run.stdout == b"" and re.fullmatch(shape, err)
            print(f"{'ok' if ok else 'FAILED'}: {name}: exit {run.returncode}, {err!r}")
            failures += not ok
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))

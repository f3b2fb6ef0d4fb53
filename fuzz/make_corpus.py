#!/usr/bin/env python3
"""Writes the fuzzers' seed corpora into fuzz/corpus/<name>/ (committed; run again
only to change them). The layouts are described at the top of each fuzzer."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
P, O, F = b"(bootloader) ", b"OKAY [", b"Finished. Total time:"


def write(name, seeds):
    folder = os.path.join(HERE, "corpus", name)
    os.makedirs(folder, exist_ok=True)
    for i, seed in enumerate(seeds):
        with open(os.path.join(folder, "seed%02d" % i), "wb") as f:
            f.write(seed)


def reformat_seeds():
    captures = [
        P + b"abc\r\r\n\r\n" + P + b"def\r\n" + O + b"  0.010s]\r\n" + F + b" 0.020s\r\n",
        b"< waiting >\r\n" + P + b"hello wo\r\n" + P + b"rld\r\r\n" + P + b"next line\r\r\n" + P
        + b"\r\r\n" + P + b"end\r\n" + O + b"  0.010s]\r\n" + F + b" 0.020s\r\n",
        P + b"x\r\n" + O + b" 1]\r\n" + P + b"y\r\n",
        P + b"a\nb\nc\n",
        P + b"abc" + P + b"def\r\n" + P + P + b"(bootload",
        O + b" 1]\r\n" + F + b" 2\r\n" + P + b"[    0.012] clock: cpu0 (big) @ 1804800 kHz\r\r\n",
        # lines a message each, cut at 59 and 252, on Windows and on Linux
        P + b"c" * 59 + b"\r\n" + P + b"ab\r\n" + P + b"d" * 59 + b"\r\n" + P + b"ef\r\n" + O + b" 1]\r\n",
        b"< waiting >\n" + P + b"w" * 252 + b"\n" + P + b"xy\n" + P + b"v" * 252 + b"\n" + P + b"z\n",
        P + b"hello wo\n" + P + b"rld\r\n\n" + P + b"next\n",
    ]
    block = ("fastboot.exe : (bootloader) [  0.008] platf\r\nAt line:1 char:1\r\n+ fastboot oem log\r\n"
             "+ ~~~~~~~~\r\n    + CategoryInfo          : NotSpecified: ((bootloader) [...():String) [], "
             "RemoteException\r\n    + FullyQualifiedErrorId : NativeCommandError\r\n \r\n(bootloader) orm"
             "\r\n\r\n日志 \U0001F600 \r\n\r\nOKAY [  0.010s]\r\n")
    marked = [(8, block.encode("utf-16-le")), (16, block.encode("utf-16-be")),
              (24, block.encode("utf-8")), (0, block.encode("utf-8")),
              (8, "(bootloader) a\ud800b\udc00".encode("utf-16-le", "surrogatepass") + b"A")]
    seeds = []
    for i, capture in enumerate(captures):
        for choice in (0, 1, 4 + (i & 1), 6):  # source size, worst case, nudged, given
            seeds.append(bytes([choice, (i * 7) & 0xFF, 0]) + capture)
    for mark, capture in marked:  # behind a mark the choice byte adds
        seeds.append(bytes([mark, 0, 0]) + capture)
    # Fastboot's output as Windows PowerShell 5.1 writes it (choice bit 5), a piece a
    # byte: long lines of words, numbers and Cyrillic, CR CR LF and LF, status lines.
    words = [8, 4, 7, 9, 4, 11, 4, 6, 4, 10, 4]
    output = bytes([0] + words * 4 + [2, 0] + words * 3 + [3] + words * 2 + [1, 12, 1, 13, 1])
    for choice, width in ((0x20, 29), (0x60, 29), (0xE0, 69), (0x38, 69), (0x70, 149), (0xA8, 9)):
        seeds.append(bytes([choice, width, 0]) + output)
    return seeds


def format_w_seeds():
    def seed(capacity, fmt, args=(), texts=()):
        slots = list(args) + [0] * (16 - len(args))
        return (bytes([capacity - 1]) + fmt + b"\0" + b"".join(struct.pack("<Q", v) for v in slots)
                + b"\0".join(texts))
    text = 0x0101  # a slot value that picks the second text and is not null
    return [
        seed(64, b"%#08X - ", [0x80070005]),
        seed(64, b"%u - ", [4294967295]),
        seed(5, b"%-10d", [42]),
        seed(3, b"%#010x", [0x1F]),
        seed(64, b"%+8.6p %hd %I64x %llx %zx", [0x1234, 0xFFFF, 1 << 40, 3, 4]),
        seed(64, b"%*.*s|%.3S|%s", [6, 2, text, text, 0], [b"hello", b"caf\xe9!"]),
        seed(64, b"ab%ncd%n%5n", [0x01, 0x0101]),
        seed(64, b"%*q%d %I3x %hhd %L %5% %", [7, 9]),
        seed(64, b"%*d", [0xFFFFFFFF, 1]),
        seed(16, b"%0 5d % 05d %#b %#y %#o %+c %5.0c", [2**64 - 1, 2**64 - 1, 5, 5, 0, 65, 65]),
    ]


def command_line_seeds():
    lines = [b"bootweave -raw in.txt out.txt", b'"C:\\Program Files\\bw.exe"  "a b.txt" -',
             b"bw -", b"bw -rawx a b", b"bw -verylongoptionnamethatdoesnotfit a b",
             b'bw "unterminated', b"bw\ta\tb\tc", b"bw " + b"x" * 300 + b" out",
             b"bw -abcdefghijklmnopqrs a b"]  # a name of 19 fills its buffer to the last byte
    return [bytes([i * 37 & 0xFF, 200]) + line for i, line in enumerate(lines)]


write("reformat", reformat_seeds())
write("format_w", format_w_seeds())
write("command_line", command_line_seeds())

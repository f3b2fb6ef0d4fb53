#!/usr/bin/env python3
"""What a user might write instead of bootweave (normal mode), for the whole-program
comparison: plain_log.py <capture> <new file>. Keeps the text behind the first
"(bootloader) " up to the first status line behind the last one, removes the prefixes
with the CR LF in front of them, and turns every run of line breaks into one CR LF."""
import re
import sys

PREFIX = b"(bootloader) "


def plain_log(data):
    first = data.find(PREFIX)
    if first < 0:
        return b""
    tail = data.rfind(PREFIX) + len(PREFIX)
    end = data.find(b"OKAY [", tail)
    if end < 0:
        end = data.find(b"Finished. Total time:", tail)
    if end < 0:
        end = len(data)
    elif data[end - 2:end] == b"\r\n":
        end -= 2
    text = data[first + len(PREFIX):end].replace(b"\r\n" + PREFIX, b"").replace(PREFIX, b"")
    text = re.sub(rb"[\r\n]+", b"\r\n", text)
    if text.startswith(b"\r\n"):
        text = text[2:]
    if text and not text.endswith(b"\n"):
        text += b"\r\n"
    return text


def main():
    with open(sys.argv[1], "rb") as f:
        data = f.read()
    with open(sys.argv[2], "xb") as f:  # like bootweave: never overwrite
        f.write(plain_log(data))


if __name__ == "__main__":
    main()

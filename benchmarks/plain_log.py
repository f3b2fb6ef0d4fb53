#!/usr/bin/env python3
"""What a user might write instead of bootweave (normal mode), for the whole-program
comparison: plain_log.py <capture> <new file>. Reads UTF-16 captures by their mark,
joins the lines that Windows PowerShell 5.1 split at words, and leaves out its error block. Keeps the text behind the first
"(bootloader) " up to the first status line behind the last one, removes the prefixes
with the CR LF in front of them, and turns every run of line breaks into one CR LF."""
import re
import sys

PREFIX = b"(bootloader) "
# Windows PowerShell 5.1's error record around the first line of standard error.
ERROR_BLOCK = re.compile(rb"[^\r\n]+\r\n(?:[ \t]*\+ [^\r\n]*\r\n){1,7}?"
                         rb"[ \t]*\+ FullyQualifiedErrorId : NativeCommandError[ \t]*\r\n(?:[ \t]+\r\n)?")


def joined(text):
    """PowerShell's word-wrapped pieces joined: the longest line is the width; a line
    ending in a blank where the next line's first word did not fit, or one of the width
    inside a word longer than that, goes on in the next line."""
    lines = text.split("\r\n")
    width = max(len(line) for line in lines)
    out = [lines[0]]
    for line in lines[1:]:
        last, word = out[-1], re.match(r"[^ \t]*[ \t]?", line).group()
        tail = len(last) - max(last.rfind(" "), last.rfind("\t")) - 1
        split = last.endswith((" ", "\t")) and len(last) + len(word) > width
        split |= len(last) == width and tail + len(word) > width
        if line and split:
            out[-1] += line
        else:
            out.append(line)
    return "\r\n".join(out)


def source_text(data):
    """A UTF-16 capture (by its byte order mark) in UTF-8, with PowerShell's split
    lines joined and without its error block behind the first prefix's line."""
    if data[:2] in (b"\xff\xfe", b"\xfe\xff"):
        encoding = "utf-16-le" if data[:1] == b"\xff" else "utf-16-be"
        text = data[2:].decode(encoding, "replace")
        if "+ FullyQualifiedErrorId : NativeCommandError" in text:
            text = joined(text)
        data = text.encode("utf-8")
    first = data.find(PREFIX)
    line_end = data.find(b"\r\n", first) + 2
    block = ERROR_BLOCK.match(data, line_end) if first >= 0 and line_end >= 2 else None
    return data[:line_end] + data[block.end():] if block else data


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
        data = source_text(f.read())
    with open(sys.argv[2], "xb") as f:  # like bootweave: never overwrite
        f.write(plain_log(data))


if __name__ == "__main__":
    main()

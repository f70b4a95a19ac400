#!/usr/bin/env python3
"""Writes the sample test and score log in tests/data/tests/ together with
what ardeno-tool must make of them. Written from the file layout alone (no
code shared with the program), so the tool tests check our reader and writer
against an independent one.

    python3 scripts/make-document-samples.py [OUTDIR]
"""
import json
import os
import sys

TEST_KEY = 0x1D
LOG_KEY = 0xB6
SEP = 0xA9
CRLF = b"\r\n"

# Windows-1252 0x80..0x9F; the five undefined codes stand for the C1 control
# of the same number.
HIGH = [0x20AC, 0x81, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D, 0x017D, 0x8F,
        0x90, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D, 0x017E, 0x0178]


def decode(data):
    return "".join(chr(HIGH[b - 0x80]) if 0x80 <= b < 0xA0 else chr(b) for b in data)


def scramble(data, key):
    return bytes(b ^ key for b in data)


def fields(*parts):
    return bytes([SEP]).join(parts)


def test_sample():
    title, teacher = b"  Quiz on Europe \x80 ", b" Class 7B / Mr. M\xfcller  "
    every_high = bytes(b for b in range(0x80, 0x100) if b != SEP)
    records = [
        fields(b"m", b"Which is the capital of France?", b"Berlin", b"Madrid", b"Paris",
               b"Rome", b"none", b" 2"),
        fields(b"t", b"Line one of a question\r\nand its second line", b"None", b" 0"),
        fields(b"m  3", b"Edited, with the index written without blank", b"A", b"B",
               b"C", b"D", b"map.bmp", b"1"),
        fields(b"t", b"Every high byte: " + every_high + b"\ttab", b"NONE", b" 1"),
        fields(b"q", b"An unknown kind loads all the same"),
    ]
    # The file as a real-world writer might leave it: a blank line between
    # questions, one line ended by a lone CR, blank lines at the end.
    ard = scramble(fields(title, teacher), TEST_KEY) + CRLF
    ard += scramble(records[0], TEST_KEY) + CRLF + CRLF
    ard += scramble(records[1], TEST_KEY) + b"\r"
    for r in records[2:]:
        ard += scramble(r, TEST_KEY) + CRLF
    ard += CRLF + CRLF
    # What a load yields, and what a save of that writes.
    dump = {"title": decode(title).strip(" "), "teacher": decode(teacher).strip(" "),
            "records": [decode(r) for r in records]}
    saved = scramble(fields(title.strip(b" "), teacher.strip(b" ")), TEST_KEY) + CRLF
    for r in records:
        saved += scramble(r, TEST_KEY) + CRLF
    saved += CRLF
    return ard, dump, saved


def log_sample():
    lines = [b"   Ardeno score log", b"Student: Anna M\xfcller", b"Test: Quiz on Europe \x80",
             b"", b"Score: 9 out of 10 (90%)", b"a lone LF\nstays inside", b"last line   "]
    log = scramble(lines[0], LOG_KEY) + CRLF + scramble(lines[1], LOG_KEY) + b"\r"
    log += CRLF.join(scramble(l, LOG_KEY) for l in lines[2:5]) + CRLF
    # A raw LF byte in the file belongs to its line (it unscrambles to 0xBC).
    log += scramble(b"a lone LF", LOG_KEY) + b"\n" + scramble(b"stays inside", LOG_KEY) + CRLF
    log += scramble(lines[6], LOG_KEY)          # no terminator at the end
    shown = [lines[0], lines[1], lines[2], lines[3], lines[4],
             b"a lone LF" + bytes([0x0A ^ LOG_KEY]) + b"stays inside", lines[6]]
    text = b"".join(l + CRLF for l in shown)
    return log, text.strip(b" ") + CRLF, b"".join(l + CRLF for l in shown)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data", "tests")
    os.makedirs(out, exist_ok=True)
    ard, dump, saved = test_sample()
    log, txt, plain = log_sample()
    files = {
        "sample.ard": ard,
        "sample.json": json.dumps(dump, ensure_ascii=False, indent=2).encode("utf-8") + b"\n",
        "sample-saved.ard": saved,
        "sample.log": log,
        "sample-log.txt": txt,
        "sample-log-plain.txt": plain,
        # A header without field separator: not a test.
        "unreadable.ard": scramble(b"Just a title", TEST_KEY) + CRLF + CRLF,
    }
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Verify data/sentences.txt for Qurimo.

The file must hold exactly 301 English/Chinese pairs (602 lines),
alternating English and simplified-Chinese lines.

Usage: python3 check_sentences.py [path]
Exits with status 0 if all checks pass, 1 otherwise.
"""

import os
import sys

EXPECTED_PAIRS = 301
EXPECTED_LINES = EXPECTED_PAIRS * 2
MIN_HITS = 5
REQUIRED_KEYWORDS = ["make", "take", "however", "in order to", "look forward"]
INFO_KEYWORDS = ["get", "have", "keep", "give", "therefore", "despite"]
MAX_EN_CHARS = 150
MAX_ZH_CHARS = 60
ASCII_PUNCT = set("!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~")


def main(argv):
    path = argv[1] if len(argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "sentences.txt")
    errors = []
    warnings = []

    def err(msg):
        errors.append(msg)

    try:
        with open(path, "rb") as f:
            raw = f.read()
    except OSError as e:
        print("FAIL: cannot read %s: %s" % (path, e))
        return 1

    if raw.startswith(b"\xef\xbb\xbf"):
        err("file starts with a UTF-8 byte-order mark")
    if b"\r" in raw:
        err("file contains CR characters (only LF line endings allowed)")
    if not raw.endswith(b"\n"):
        err("file does not end with a final LF")
    if raw.endswith(b"\n\n"):
        err("file ends with an empty line")

    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError as e:
        print("FAIL: file is not valid UTF-8: %s" % e)
        return 1
    if text.startswith("\ufeff"):
        text = text[1:]

    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()

    if len(lines) != EXPECTED_LINES:
        err("expected %d lines, found %d" % (EXPECTED_LINES, len(lines)))

    english = []
    seen = {}
    for idx, line in enumerate(lines):
        lineno = idx + 1
        if line.strip() == "":
            err("line %d: empty line" % lineno)
            continue
        if line != line.strip():
            err("line %d: leading or trailing whitespace" % lineno)
        if idx % 2 == 0:
            # English line
            bad = [c for c in line if not (0x20 <= ord(c) <= 0x7E)]
            if bad:
                err("line %d: English line has non-printable-ASCII chars %r"
                    % (lineno, "".join(sorted(set(bad)))))
            if len(line) > MAX_EN_CHARS:
                warnings.append("line %d: English line is %d chars (> %d)"
                                % (lineno, len(line), MAX_EN_CHARS))
            key = line.strip().lower()
            if key in seen:
                err("line %d: duplicate English sentence (first at line %d)"
                    % (lineno, seen[key]))
            else:
                seen[key] = lineno
            english.append(line)
        else:
            # Chinese line
            try:
                line.encode("gb2312")
            except UnicodeEncodeError:
                bad = []
                for c in line:
                    try:
                        c.encode("gb2312")
                    except UnicodeEncodeError:
                        bad.append(c)
                err("line %d: Chinese line has chars outside GB2312: %r"
                    % (lineno, "".join(bad)))
            if "\t" in line:
                err("line %d: tab character in Chinese line" % lineno)
            if not any(ord(c) > 0x7F for c in line):
                err("line %d: Chinese line contains no Chinese characters"
                    % lineno)
            punct = sorted(set(c for c in line if c in ASCII_PUNCT))
            if punct:
                warnings.append("line %d: ASCII punctuation in Chinese line: %s"
                                % (lineno, "".join(punct)))
            if len(line) > MAX_ZH_CHARS:
                warnings.append("line %d: Chinese line is %d chars (> %d)"
                                % (lineno, len(line), MAX_ZH_CHARS))

    counts = {}
    for kw in REQUIRED_KEYWORDS + INFO_KEYWORDS:
        counts[kw] = sum(1 for s in english if kw in s.lower())
    for kw in REQUIRED_KEYWORDS:
        if counts[kw] < MIN_HITS:
            err("keyword %r found in only %d English sentences (need >= %d)"
                % (kw, counts[kw], MIN_HITS))

    print("File: %s" % path)
    print("Lines: %d (expected %d)" % (len(lines), EXPECTED_LINES))
    print("Pairs: %d" % (len(lines) // 2))
    print("Distinct English sentences: %d" % len(seen))
    if english:
        print("Longest English line: %d chars" % max(len(s) for s in english))
    zh = lines[1::2]
    if zh:
        print("Longest Chinese line: %d chars" % max(len(s) for s in zh))
    print("Keyword hits (English lines, case-insensitive substring):")
    for kw in REQUIRED_KEYWORDS:
        print("  %-14s %3d  (required >= %d)" % (kw, counts[kw], MIN_HITS))
    for kw in INFO_KEYWORDS:
        print("  %-14s %3d" % (kw, counts[kw]))
    for w in warnings:
        print("WARNING: " + w)
    for e in errors:
        print("ERROR: " + e)
    if errors:
        print("RESULT: FAIL (%d error(s), %d warning(s))"
              % (len(errors), len(warnings)))
        return 1
    print("RESULT: OK (%d warning(s))" % len(warnings))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

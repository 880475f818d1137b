#!/usr/bin/env python3
"""Counts the files of a folder by kind, from their bytes alone, with Python's
own codecs (not the ICU converters that wrote them), and prints one
"KIND COUNT" line per kind, sorted, then the sizes on stderr:
    corpus_kinds.py FOLDER COMMON_CHARACTERS_FILE
Kinds: gzip, utf-16le, utf-16be (by their mark), utf-8-bom, utf-8-meta (valid
UTF-8 declaring utf-8), utf-8, gbk (decodes as GBK into common characters),
gb18030 (needs GB18030's four-byte sequences), big5; anything else is "other".
"""
import gzip
import os
import re
import sys

META_UTF8 = re.compile(rb'charset=["\']?utf-8', re.IGNORECASE)


def decodes(data, codec):
    try:
        return data.decode(codec)
    except (UnicodeDecodeError, LookupError):
        return None


def common_share(text, common):
    """Share of the CJK ideographs of `text` that are in `common`."""
    ideographs = [c for c in text if "\u4e00" <= c <= "\u9fff"]
    if not ideographs:
        return 0.0
    return sum(c in common for c in ideographs) / len(ideographs)


def kind(data, common):
    if data[:2] == b"\x1f\x8b":
        try:
            inner = gzip.decompress(data)
        except (OSError, EOFError):
            return "other"
        return "gzip" if decodes(inner, "utf-8") is not None else "other"
    if data[:2] == b"\xff\xfe":
        return "utf-16le" if decodes(data[2:], "utf-16-le") is not None else "other"
    if data[:2] == b"\xfe\xff":
        return "utf-16be" if decodes(data[2:], "utf-16-be") is not None else "other"
    if data[:3] == b"\xef\xbb\xbf":
        return "utf-8-bom" if decodes(data[3:], "utf-8") is not None else "other"
    if decodes(data, "utf-8") is not None:
        return "utf-8-meta" if META_UTF8.search(data) else "utf-8"
    # Big5's bytes mostly decode as GBK too, into rare characters: GBK must
    # give the simplified common characters that the articles are made of.
    text = decodes(data, "gbk")
    if text is not None and common_share(text, common) > 0.9:
        return "gbk"
    text = decodes(data, "gb18030")
    if text is not None and common_share(text, common) > 0.9:
        return "gb18030"
    if decodes(data, "cp950") is not None or decodes(data, "big5") is not None:
        return "big5"
    return "other"


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: corpus_kinds.py FOLDER COMMON_CHARACTERS_FILE")
    folder, table = sys.argv[1], sys.argv[2]
    with open(table, encoding="utf-8") as f:
        common = set(f.read().strip())
    counts, sizes = {}, []
    for entry in os.scandir(folder):
        if not entry.is_file(follow_symlinks=False):
            counts["other"] = counts.get("other", 0) + 1
            continue
        with open(entry.path, "rb") as f:
            data = f.read()
        sizes.append(len(data))
        k = kind(data, common)
        counts[k] = counts.get(k, 0) + 1
    for k in sorted(counts):
        print(k, counts[k])
    if sizes:
        sizes.sort()
        print("sizes on disk: %d files, %d to %d bytes, median %d, %.1f MB in all"
              % (len(sizes), sizes[0], sizes[-1], sizes[len(sizes) // 2],
                 sum(sizes) / 1e6), file=sys.stderr)


if __name__ == "__main__":
    main()

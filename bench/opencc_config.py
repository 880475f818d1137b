#!/usr/bin/env python3
"""Writes a configuration of the chain CHAIN for Debian's `opencc` command
(1.1) that converts with the program's own data (data/opencc), so that both
convert with the same dictionaries and their texts can be compared:
    bench/opencc_config.py DATA CHAIN FOLDER
FOLDER receives CHAIN.json and the binary dictionaries it names (made with
`opencc_dict`), and opencc -c FOLDER/CHAIN.json finds them there.

Two shapes of the newer configurations are unknown to OpenCC 1.1, and are
written as it can read them:
- a "union" group takes its members as one dictionary, the first member's
  value counting on a key that several hold: it becomes that one dictionary;
- the normalization (compatibility ideographs to the characters they stand
  for) is left out: texts to compare must not hold such ideographs;
- a chain without segmentation takes the whole text as one segment, as a
  segmentation whose dictionary matches nothing does: its one key is the
  noncharacter U+FDD0, which texts to compare must not hold.
"""
import json
import subprocess
import sys
from pathlib import Path


def entries(path):
    """The (key, line) pairs of a text dictionary, first line of a key only."""
    seen = {}
    for line in path.read_text(encoding="utf-8").splitlines():
        if not line or line.startswith("#") or "\t" not in line:
            continue
        key = line.split("\t", 1)[0]
        seen.setdefault(key, line)
    return seen


class Writer:
    def __init__(self, data, folder):
        self.data = data
        self.folder = folder
        self.made = {}

    def dictionary(self, names, merged=None):
        """A binary dictionary of the text dictionaries `names` as one, or
        of the lines `merged` by key."""
        stem = "+".join(Path(n).stem for n in names)
        if stem not in self.made:
            if merged is None:
                merged = {}
                for name in names:
                    path = self.data / "dictionary" / (Path(name).stem + ".txt")
                    for key, line in entries(path).items():
                        merged.setdefault(key, line)
            text = self.folder / (stem + ".txt")
            text.write_text("".join(line + "\n" for line in merged.values()), encoding="utf-8")
            binary = self.folder / (stem + ".ocd2")
            subprocess.run(["opencc_dict", "-i", str(text), "-o", str(binary), "-f", "text",
                            "-t", "ocd2"], check=True, stdout=subprocess.DEVNULL)
            text.unlink()
            self.made[stem] = binary.name
        return {"type": "ocd2", "file": self.made[stem]}

    def rewrite(self, d):
        if d["type"] != "group":
            return self.dictionary([d["file"]])
        if d.get("match_policy") == "union":
            if any(m["type"] == "group" for m in d["dicts"]):
                sys.exit("opencc_config: a union of groups")
            return self.dictionary([m["file"] for m in d["dicts"]])
        return {"type": "group", "dicts": [self.rewrite(m) for m in d["dicts"]]}


def main():
    data, chain, folder = Path(sys.argv[1]), sys.argv[2], Path(sys.argv[3])
    config = json.loads((data / "config" / (chain + ".json")).read_text(encoding="utf-8"))
    writer = Writer(data, folder)
    out = {"name": config["name"]}
    if "segmentation" in config:
        segments = writer.rewrite(config["segmentation"]["dict"])
    else:
        segments = writer.dictionary(["Nothing"], {"\uFDD0": "\uFDD0\t\uFDD0"})
    out["segmentation"] = {"type": "mmseg", "dict": segments}
    out["conversion_chain"] = [{"dict": writer.rewrite(c["dict"])}
                               for c in config["conversion_chain"]]
    (folder / (chain + ".json")).write_text(json.dumps(out, ensure_ascii=False, indent=1),
                                            encoding="utf-8")


if __name__ == "__main__":
    main()

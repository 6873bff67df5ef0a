#!/usr/bin/python3
"""Extract the fixed commemorations kept with a vigil or a polyeleos in the Russian Church from the
public data set typiconman/ponomar into signs.tsv beside this script.

    extract_signs.py GIT_DIR [--commit SHA] [--output FILE]

GIT_DIR is a clone (bare or not) of the data set. Its Russian-usage calendar lists each old-style
day's commemorations in Ponomar/languages/cu/xml/MM/DD.xml. An entry may carry a condition (Cmd):
one that holds only in some years ("dow == 0", a Sunday; "nday == -43", a transfer in Lent or
Eastertide) makes it movable, and it is left out; one that only excepts some years ("nday != 48",
"!(…)", "nday > 0") marks the fixed day a commemoration is transferred from, which is kept. A commemoration's sign is the
Type of its service (cu/xml/lives/ID.xml, else xml/lives/ID.xml): 4 polyeleos, 5 vigil, 6 a great
saint, 7 a feast of the Theotokos, 8 a feast of the Lord; lesser ranks are not kept. Its title is the
Russian one (cu/ru/xml/lives/ID.xml). Only dates, ranks and titles are kept:

    MM-DD <TAB> rank <TAB> title        in the day's order of the data set
"""

import argparse
import re
import subprocess
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

COMMIT = "8ab60abe515a94dd8dac9d68861c719d5239d05b"
OUTPUT = Path(__file__).resolve().parent / "signs.tsv"
RANKS = {4: "polyeleos", 5: "vigil", 6: "great-saint", 7: "theotokos-feast", 8: "lord-feast"}
ROOT = "Ponomar/languages"


class Repo:
    def __init__(self, git_dir, commit):
        self.git_dir, self.commit = str(git_dir), commit
        self.files = set(subprocess.run(["git", "--git-dir", self.git_dir, "ls-tree", "-r", "--name-only", commit],
                                        capture_output=True, text=True, check=True).stdout.splitlines())

    def text(self, path):
        if path not in self.files:
            return None
        data = subprocess.run(["git", "--git-dir", self.git_dir, "show", f"{self.commit}:{path}"],
                              capture_output=True, check=True).stdout
        return data.decode("utf-8-sig")


def rank(repo, cid):
    for path in (f"{ROOT}/cu/xml/lives/{cid}.xml", f"{ROOT}/xml/lives/{cid}.xml"):
        text = repo.text(path)
        found = text and re.search(r'<SERVICE\b[^>]*\bType="(-?\d+)"', text)
        if found:
            return int(found.group(1))
    return 0


def title(repo, sid, cid):
    for ident in (cid, sid):
        text = repo.text(f"{ROOT}/cu/ru/xml/lives/{ident}.xml")
        found = text and re.search(r'<NAME\b[^>]*\bNominative="([^"]*)"', text)
        if found:
            return " ".join(found.group(1).split())
    raise ValueError(f"commemoration {cid}: no Russian title")


def fixed(condition):
    """Whether an entry stands on its day in most years: no condition, or one that excepts years."""
    return not condition or condition.lstrip().startswith("!") or "==" not in condition


def extract(repo):
    rows = []
    for month in range(1, 13):
        for day in range(1, 32):
            text = repo.text(f"{ROOT}/cu/xml/{month:02d}/{day:02d}.xml")
            if text is None:
                continue
            for saint in ET.fromstring(text).iter("SAINT"):
                if not fixed(saint.get("Cmd")):
                    continue
                cid = saint.get("CId")
                r = rank(repo, cid)
                if r in RANKS:
                    rows.append((f"{month:02d}-{day:02d}", RANKS[r], title(repo, saint.get("SId") or cid, cid)))
    return rows


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("git_dir")
    parser.add_argument("--commit", default=COMMIT)
    parser.add_argument("--output", default=str(OUTPUT))
    args = parser.parse_args(argv)
    rows = extract(Repo(args.git_dir, args.commit))
    header = (f"# typiconman/ponomar at {args.commit} (GNU GPL v3 or later, see README.md and COPYING)\n"
              "# old-style date\trank\ttitle\n")
    Path(args.output).write_text(header + "".join("\t".join(r) + "\n" for r in rows), encoding="utf-8")
    print(f"wrote {args.output}: {len(rows)} commemorations on {len({r[0] for r in rows})} days")
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/python3
"""Extract the fixed commemorations of the church year from the public data set
Mount-Skete/orthodox-typikon-feasts-xml into calendar.tsv beside this script.

    extract_calendar.py GIT_DIR [--commit SHA] [--output FILE]

GIT_DIR is a clone (bare or not) of the data set. Only titles, dates and ranks are kept, not the
hymns or the texts of the lives. calendar.tsv has one commemoration a line, by old-style date:

    MM-DD <TAB> book <TAB> rank <TAB> title

book is "typikon" (typikon-feasts-ru/feasts_MM.xml, in the Typikon's order, rank "type/rank" as
given there) or "lives" (lives-of-the-saints-ru/MM/DD.xml, in the book's order, rank "-").
The movable feasts (feasts_movable.xml) are left out: the name-day file is keyed by date.
"""

import argparse
import re
import subprocess
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

COMMIT = "961a16b428dac2dfe1c52bd4932d3c97eb24f277"
OUTPUT = Path(__file__).resolve().parent / "calendar.tsv"

# Feasts whose <title> is not a title.
SKIP = {
    "ls-22-6": "a paragraph of St Dimitry's life (the finding of his relics) taken for a title",
}


def git_show(git_dir, commit, path):
    return subprocess.run(["git", "--git-dir", str(git_dir), "show", f"{commit}:{path}"],
                          capture_output=True, check=True).stdout


def clean(text):
    text = text.replace("\u0301", "")  # stress marks
    return " ".join(text.split()).strip('"')


def feasts(data, book):
    for feast in ET.fromstring(data).iter("feast"):
        if feast.get("id") in SKIP:
            continue
        title, date = feast.find("title/ru"), feast.find("date/julian")
        if title is None or date is None or not re.fullmatch(r"\d\d-\d\d", date.text.strip()):
            raise ValueError(f"{book}: a feast without a title or an old-style date")
        rank = f"{feast.get('type')}/{feast.get('rank')}" if book == "typikon" else "-"
        yield date.text.strip(), book, rank, clean(title.text)


def extract(git_dir, commit):
    files = subprocess.run(["git", "--git-dir", str(git_dir), "ls-tree", "-r", "--name-only", commit],
                           capture_output=True, text=True, check=True).stdout.split()
    rows = []
    for month in range(1, 13):
        rows += feasts(git_show(git_dir, commit, f"typikon-feasts-ru/feasts_{month:02d}.xml"), "typikon")
    for path in sorted(p for p in files if re.fullmatch(r"lives-of-the-saints-ru/\d\d/\d\d\.xml", p)):
        rows += feasts(git_show(git_dir, commit, path), "lives")
    order = {"typikon": 0, "lives": 1}
    rows.sort(key=lambda r: (r[0], order[r[1]]))  # stable: each book keeps its own order within a day
    return rows


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("git_dir")
    parser.add_argument("--commit", default=COMMIT)
    parser.add_argument("--output", default=str(OUTPUT))
    args = parser.parse_args(argv)
    rows = extract(args.git_dir, args.commit)
    header = (f"# Mount-Skete/orthodox-typikon-feasts-xml at {args.commit} (MIT licence, see README.md)\n"
              "# old-style date\tbook\trank\ttitle\n")
    Path(args.output).write_text(header + "".join("\t".join(r) + "\n" for r in rows), encoding="utf-8")
    print(f"wrote {args.output}: {len(rows)} commemorations on {len({r[0] for r in rows})} days")
    return 0


if __name__ == "__main__":
    sys.exit(main())

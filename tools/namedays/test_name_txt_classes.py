#!/usr/bin/python3
"""Data tests of the shipped name file for the faults a reader of the calendar finds: a name of the
neighbouring day, a genitive or a place taken for a name, one saint twice in a line.

    [NAME_TXT=FILE] test_name_txt_classes.py      (default: the shipped Data/name.txt)

Each test reads the file and the lists it was built from, or the church calendar the builder does not
read, and fails naming the day and the name."""

import os
import re
import unittest
from pathlib import Path

import build_name_txt as b
import check_name_txt as c

NAME_FILE = Path(os.environ.get("NAME_TXT", b.DEFAULT_OUTPUT))

# "X (Y)" in the church list where Y is the saint's name in baptism, under which he is a patron too.
BAPTISMAL = {("Всеволод", "Гавриил"), ("Боян", "Енравот")}


def church_list():
    """The church list's two names of one saint, "Хриса (Злата)", by day: [(civil name, civil name) …]."""
    days = {}
    for key, names in b.load_source(b.DEFAULT_SOURCES, "krestilnoe"):
        for raw in names:
            found = re.fullmatch(r"([А-ЯЁ][а-яё]+) \(([А-ЯЁ][а-яё]+)\)", raw.strip())
            if found:
                days.setdefault(f"{key[2:]}.{key[:2]}", []).append(tuple(b.CIVIL.get(n, n) for n in found.groups()))
    return days


class NameFile(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.lines = c.read_lines(NAME_FILE.read_bytes())
        cls.church = church_list()
        dropped = []
        krest = b.realign_krestilnoe(b.parse_source("krestilnoe", b.load_source(b.DEFAULT_SOURCES, "krestilnoe"), dropped))
        cls.church_days = {}
        for day in b.DAYS:
            for tokens in krest.get("01.03" if day == "29.02" else day, []):
                for t in tokens:
                    cls.church_days.setdefault(b.CIVIL.get(t.name, t.name), set()).add(day)
        cls.calendar = c.Calendar.load()
        cls.sources = {stem: b.parse_source(stem, b.load_source(b.DEFAULT_SOURCES, stem), dropped)
                       for stem in ("pravmir", "calend")}

    def church_names(self, day):
        return {n for n, days in self.church_days.items() if day in days}

    def faults(self, test):
        return [f"{day} {name}" for day in b.DAYS for name in self.lines.get(day, []) if test(day, name)]

    def test_no_saint_of_the_day_before_or_after(self):
        def neighbours(day, name):
            at = b.DAYS.index(day)
            near = {b.DAYS[at - 1], b.DAYS[(at + 1) % len(b.DAYS)]}
            days = self.church_days.get(name, set())
            return len(days) <= b.ONE_SAINT_DAYS and day not in days and bool(days & near)
        self.assertEqual(self.faults(neighbours), [])

    def test_no_genitive(self):
        # A genitive of a man's name read as a name ("прп. Феодосия", "свт. Гермогена"): the lists give
        # him on the day, he is not in the line, and the church calendar names no such saint there.
        def genitive(day, name):
            male = name[:-1] + "й" if name.endswith("ия") else name[:-1] if name.endswith("а") else None
            given = {b.CIVIL.get(t.name, t.name) for stem in self.sources.values()
                     for tokens in stem.get(day, []) for t in tokens} | self.church_names(day)
            return (male in given and male not in self.lines[day]
                    and not c.keys_of(name) & self.calendar.principal(day))
        self.assertEqual(self.faults(genitive), [])

    def test_one_saint_once_in_a_line(self):
        faults = [f"{day} {' '.join(pair)}" for day, tokens in sorted(self.church.items())
                  for pair in tokens if len(pair) == 2 and pair[0] != pair[1] and pair not in BAPTISMAL
                  and set(pair) <= set(self.lines.get(day, []))]
        self.assertEqual(faults, [])

    def test_no_place_for_a_name(self):
        # Words the church calendar's titles use only for a see or a city ("в армянской Севастии"),
        # never for a saint.
        places, persons = set(), set()
        for titles in self.calendar.titles.values():
            for _, _, title in titles:
                words = c.WORD_RE.findall(title)
                at_place = set()
                for i, w in enumerate(words):
                    if w.lower() in c.PLACE_BEFORE:  # past the adjectives before the place
                        at_place.add(next((j for j in range(i + 1, len(words))
                                           if not c.ADJECTIVE_RE.fullmatch(words[j].lower())), len(words)))
                for i, w in enumerate(words):
                    if i and w[0].isupper() and w.isalpha():
                        (places if i in at_place else persons).update(c.key(n) for n in c.nominatives(w))
        self.assertEqual(self.faults(lambda day, name: c.keys_of(name) & places
                                     and not c.keys_of(name) & persons), [])

if __name__ == "__main__":
    unittest.main()

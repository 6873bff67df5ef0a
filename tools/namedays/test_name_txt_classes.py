#!/usr/bin/python3
"""Data tests of the name file (NAME_TXT, default the shipped Data/name.txt) for the faults a reader
finds: a neighbouring day's saint, a saint of a movable day only, a genitive or a place taken for a
name, one saint twice in a line. Each fails naming the day and the name."""

import os
import re
import unittest
from collections import Counter
from pathlib import Path

import build_name_txt as b
import check_name_txt as c

# "X (Y)" in the church list where Y is the saint's name in baptism, under which he is a patron too.
BAPTISMAL = {("Всеволод", "Гавриил"), ("Боян", "Енравот")}


class NameFile(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.lines = c.read_lines(Path(os.environ.get("NAME_TXT", b.DEFAULT_OUTPUT)).read_bytes())
        cls.calendar = c.Calendar.load()
        cls.raw = b.load_source(b.DEFAULT_SOURCES, "krestilnoe")
        lists = {stem: b.parse_source(stem, b.load_source(b.DEFAULT_SOURCES, stem), []) for stem in ("pravmir", "calend")}
        lists["krestilnoe"] = b.realign_krestilnoe(b.parse_source("krestilnoe", cls.raw, []))
        cls.given = {stem: {day: {b.CIVIL.get(t.name, t.name) for tokens in entries for t in tokens}
                            for day, entries in days.items()} for stem, days in lists.items()}
        counts = {(stem, day): Counter(b.CIVIL.get(t.name, t.name) for tokens in entries for t in tokens)
                  for stem, days in lists.items() for day, entries in days.items()}
        # The names the lists give on a day only as a movable commemoration of their year (MOVABLE): no list
        # gives them there more often, and the fixed calendar names no such saint on the day.
        taken = {key: Counter(names) for key, (names, _) in b.MOVABLE.items()}
        cls.movable = {}
        for (_, day), (names, _) in b.MOVABLE.items():
            cls.movable.setdefault(day, set()).update(
                n for n in names if not c.keys_of(n) & cls.calendar.principal(day)
                and all(counts.get((stem, day), Counter())[n] <= taken.get((stem, day), Counter())[n] for stem in lists))
        mentioned = {}
        for (_, day), names in counts.items():
            for n in names:
                mentioned.setdefault(n, set()).add(day)
        # ... and those whom no list gives on any other day (St Dodo of Gareji)
        cls.movable_only = {n for names in cls.movable.values() for n in names
                            if all(n in cls.movable.get(day, ()) for day in mentioned[n])}
        for days in cls.given.values():
            days["29.02"] = days.get("01.03", set())  # old-style 16.02 on both
        cls.church_days = {}
        for day, names in cls.given["krestilnoe"].items():
            for n in names:
                cls.church_days.setdefault(n, set()).add(day)

    def faults(self, test, lines=None):
        return [f"{day} {name}" for day in b.DAYS for name in (lines or self.lines).get(day, []) if test(day, name)]

    def test_no_saint_of_the_day_before_or_after(self):
        def neighbours(day, name):
            at, days = b.DAYS.index(day), self.church_days.get(name, set())
            near = {b.DAYS[at - 1], b.DAYS[(at + 1) % len(b.DAYS)]}
            return len(days) <= b.ONE_SAINT_DAYS and day not in days and bool(days & near)
        self.assertEqual(self.faults(neighbours), [])

    def test_no_saint_of_a_movable_day_only(self):
        def movable(day, name):
            return name in self.movable.get(day, ()) or (
                name in self.movable_only and not c.keys_of(name) & self.calendar.principal(day))
        self.assertEqual(self.faults(movable), [])
        cases = [("29.04", "Тамара", True),   # on the Myrrh-bearers' Sunday of 2012; her own day is 14.05
                 ("30.05", "Додо", True),     # St Dodo of Gareji, on an Easter-dependent day only
                 ("14.05", "Додо", True),     # nor on any other day
                 ("31.05", "Давид", False),   # the martyr David of the day stays beside St David of Gareji
                 ("14.05", "Тамара", False)]
        for day, name, fault in cases:
            with self.subTest(day=day, name=name):
                self.assertEqual(self.faults(movable, {day: [name]}), [f"{day} {name}"] if fault else [])

    def test_no_genitive(self):
        # "прп. Феодосия" read as a name: the lists give the man on the day, the line lacks him, and the
        # church calendar names no such woman there.
        def genitive(day, name):
            male = name[:-1] + "й" if name.endswith("ия") else name[:-1] if name.endswith("а") else None
            given = set().union(*(days.get(day, set()) for days in self.given.values()))
            return male in given and male not in self.lines[day] and not c.keys_of(name) & self.calendar.principal(day)
        self.assertEqual(self.faults(genitive), [])

    def test_one_saint_once_in_a_line(self):
        pairs = [(f"{key[2:]}.{key[:2]}", tuple(b.CIVIL.get(n, n) for n in m.groups())) for key, names in self.raw
                 for m in (re.fullmatch(r"(\S+) \((\S+)\)", raw.strip()) for raw in names) if m]
        self.assertEqual([f"{day} {' '.join(p)}" for day, p in pairs if p[0] != p[1] and p not in BAPTISMAL
                          and set(p) <= set(self.lines.get(day, []))], [])

    def test_no_place_for_a_name(self):
        # Words the church calendar's titles use only for a see or a city ("в армянской Севастии").
        places, persons = set(), set()
        for titles in self.calendar.titles.values():
            for _, _, title in titles:
                words = c.WORD_RE.findall(title)
                at_place = {next((j for j in range(i + 1, len(words)) if not c.ADJECTIVE_RE.fullmatch(words[j].lower())),
                                 len(words)) for i, w in enumerate(words) if w.lower() in c.PLACE_BEFORE}
                for i, w in enumerate(words):
                    if i and w[0].isupper() and w.isalpha():
                        (places if i in at_place else persons).update(c.key(n) for n in c.nominatives(w))
        self.assertEqual(self.faults(lambda day, name: c.keys_of(name) & places and not c.keys_of(name) & persons), [])


if __name__ == "__main__":
    unittest.main()

#!/usr/bin/python3
"""Tests of check_name_txt.py and church_calendar/extract_calendar.py: run with /usr/bin/python3 -m
unittest (from this folder) or directly."""

import sys
import tempfile
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
sys.path.insert(0, str(HERE / "church_calendar"))
import check_name_txt as c  # noqa: E402
import extract_calendar as x  # noqa: E402


class OldStyle(unittest.TestCase):
    def test_table(self):
        cases = {"14.01": ["01-01"], "01.01": ["12-19"], "29.02": ["02-16"], "01.03": ["02-16"],
                 "12.03": ["02-27"], "13.03": ["02-28", "02-29"], "14.03": ["03-01"], "31.12": ["12-18"]}
        for day, expected in cases.items():
            with self.subTest(day):
                self.assertEqual(c.old_style(day), expected)


def calendar(*titles, day="04-16"):
    return c.Calendar([(day, "lives", "-", t) for t in titles])


class Names(unittest.TestCase):
    def test_civil_names_found_in_genitive_church_titles(self):
        cases = [("Агапия", "Агапии"), ("Георгий", "Георгиа"), ("Павел", "Павла"), ("Лука", "Луки"),
                 ("Лев", "Льва"), ("Тимофей", "Тимофеа"), ("Николай", "Николаа"), ("Ирина", "Ирины"),
                 ("Любовь", "Любве"), ("Фёдор", "Феодора"), ("Юлиания", "Иулиании"), ("Сергей", "Сергиа"),
                 ("Наталья", "Наталии"), ("Татьяна", "Татианы"), ("Яков", "Иакова"), ("Ефим", "Евфимиа"),
                 ("Антон", "Антониа"), ("Федот", "Феодота"), ("Иван", "Иоанна"), ("Кузьма", "Космы"),
                 ("Захар", "Захарии"), ("Альвиан", "Алвиана")]
        for civil, genitive in cases:
            with self.subTest(civil):
                self.assertTrue(c.keys_of(civil) & calendar(f"Память святаго {genitive}").names)

    def test_no_false_match(self):
        # "Кесария" in a title is the genitive of St Caesarius, a man; "Иоанна" that of John.
        cases = [("Кесария", "Память святаго Кесария"), ("Иванна", "Житие святаго Иоанна"),
                 ("Феодоры", "Память святой Феодоры"), ("Василиссы", "Память мучениц Василиссы")]
        for word, title in cases:
            with self.subTest(word):
                self.assertFalse(c.keys_of(word) & calendar(title).names)

    def test_places_and_epithets_are_no_names(self):
        titles = ["Память иже во святых отца нашего Василиа великаго, архиепископа Кесарии Каппадокийския",
                  "Преподобнаго отца нашего Евфимиа, Суждальскаго чудотворца",
                  "Память святых мучеников, в Кесарии пострадавших, и Пророка Михея",
                  "Память святаго мученика Гордиа", "Память пророка Малахии"]
        self.assertEqual([c.title_words(t) for t in titles],
                         [["Василиа"], ["Евфимиа"], ["Пророка", "Михея"], ["Гордиа"], ["Малахии"]])
        cal = calendar(*titles)  # "пророка" in lower case elsewhere makes "Пророка" a common word
        self.assertEqual({n for n in ("Василий", "Ефим", "Михей", "Кесария", "Пророк") if c.keys_of(n) & cal.names},
                         {"Василий", "Ефим", "Михей"})


class Compare(unittest.TestCase):
    CAL = c.Calendar([("04-16", "typikon", "low/ordinary", "Святых мучениц, Агапии, Ирины и Хионии"),
                      ("04-16", "lives", "-", "Страдание святаго мученика Леонида"),
                      ("04-08", "lives", "-", "Память апостола Иродиона")])

    def run_compare(self, lines, rows):
        with tempfile.TemporaryDirectory() as tmp:
            path = Path(tmp, "exceptions.tsv")
            path.write_text("# header\n" + "".join("\t".join(r) + "\n" for r in rows), encoding="utf-8")
            return c.compare(lines, self.CAL, c.load_exceptions(path))

    def test_disagreements_and_exceptions(self):
        myrrh = {"29.04": ["Мария", "Агапия", "Ирина"]}
        cases = {
            "agrees": ({"29.04": ["Агапия", "Леонид", "Ирина"]}, [], []),
            "first name not of the day": (myrrh, [], ["29.04 first: Мария", "word: Мария"]),
            "excepted": (myrrh, [("first", "29.04", "Мария", "why"), ("word", "-", "Мария Саломея", "why")],
                         ["word: Саломея: listed as an exception but agrees"]),
            "a name nowhere in the calendar": ({"29.04": ["Агапия", "Кесария"]}, [], ["word: Кесария"]),
            "two spellings of one saint": ({"21.04": ["Иродион"], "29.04": ["Агапия", "Родион"]}, [],
                                           ["spelling: Иродион Родион"]),
            "different saints excepted": ({"29.04": ["Агапия", "Иродион", "Родион"]},
                                          [("spelling", "-", "Родион Иродион", "why")], []),
            "stale exception": ({"29.04": ["Агапия"]}, [("first", "30.04", "Ирина", "why")],
                                ["30.04 first: Ирина: listed as an exception but agrees"]),
        }
        for label, (lines, rows, expected) in cases.items():
            with self.subTest(label):
                figures, problems = self.run_compare(lines, rows)
                self.assertEqual(problems, expected)
        figures, _ = self.run_compare(myrrh, [])
        self.assertEqual((figures["days"], figures["first agrees"], figures["names"], figures["words excepted"]),
                         (1, 0, 3, 1))

    def test_malformed_exceptions_are_refused(self):
        rows = [("first", "-", "Мария", "why"), ("first", "29.04", "Мария Агапия", "why"),
                ("word", "29.04", "Мария", "why"), ("word", "-", "Мария", ""), ("spelling", "-", "Родион", "why"),
                ("later", "-", "Мария", "why")]
        for row in rows:
            with self.subTest(row), self.assertRaises(ValueError):
                self.run_compare({}, [row])


class Lead(unittest.TestCase):
    CAL = c.Calendar([("01-09", "typikon", "middle/polyeleos", "Иже во святых отца нашего Филиппа, митрополита"),
                      ("01-09", "typikon", "low/ordinary", "Святаго мученика Полиевкта"),
                      ("07-15", "typikon", "middle/vigil", "Святаго князя Владимира, нареченнаго во святом крещении Василиа"),
                      ("02-02", "typikon", "great/vigil", "Сретение Господа Бога и Спаса нашего Иисуса Христа")])

    def test_the_signed_saints_stand_first(self):
        cases = {
            "leads": ({"22.01": ["Филипп", "Полиевкт"]}, []),
            "behind a lesser saint": ({"22.01": ["Полиевкт", "Филипп"]}, [("lead", "22.01", "Филиппа")]),
            "missing": ({"22.01": ["Полиевкт"], "23.01": ["Филипп"]}, [("lead", "22.01", "Филиппа")]),
            "a baptismal name and a feast of the Lord ask for no one": (
                {"28.07": ["Владимир", "Полиевкт", "Василий"], "15.02": ["Полиевкт"]}, []),
        }
        for label, (lines, expected) in cases.items():
            with self.subTest(label):
                used = {k for names in lines.values() for n in names for k in c.keys_of(n)}
                self.assertEqual(c.leads(lines, self.CAL, used), expected)


class Extract(unittest.TestCase):
    def test_titles_ranks_and_skips(self):
        xml = ('<feasts><feast id="" type="middle" rank="polyeleos"><title><ru>\n  Святаго апостола\n'
               'Марка"</ru></title><date><julian>04-25</julian></date><hymns/></feast>'
               '<feast id="ls-22-6"><title><ru>Около сорока трех лет</ru></title>'
               '<date><julian>09-21</julian></date></feast>'
               '<feast id="ls-1"><title><ru>Честно\u0301е тело</ru></title><date><julian>09-21</julian></date>'
               '</feast></feasts>').encode()
        self.assertEqual(list(x.feasts(xml, "typikon"))[0], ("04-25", "typikon", "middle/polyeleos", "Святаго апостола Марка"))
        self.assertEqual(list(x.feasts(xml, "lives"))[1:], [("09-21", "lives", "-", "Честное тело")])


if __name__ == "__main__":
    unittest.main()

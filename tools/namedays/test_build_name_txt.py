#!/usr/bin/python3
"""Tests of build_name_txt.py: run with /usr/bin/python3 -m unittest (from this folder) or directly."""

import json
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
import build_name_txt as b  # noqa: E402
sys.path.insert(0, str(HERE / "service_signs"))
import extract_signs as x  # noqa: E402

SHIPPED = HERE.parents[1] / "Data" / "name.txt"


def good_lines():
    names = {day: ["Иван"] for day in b.DAYS}
    names["07.01"] = []
    for day, expected in b.SPOT_CHECKS.items():
        names[day] = expected
    return [f"{day} {', '.join(names[day])}" for day in b.DAYS]


def encode(lines, eol="\r\n"):
    return "".join(line + eol for line in lines).encode("cp1251")


class Validate(unittest.TestCase):
    def test_sound_file_passes(self):
        self.assertEqual(b.validate(encode(good_lines())), [])

    def test_faults_are_found(self):
        def edited(n, text):
            lines = good_lines()
            lines[n] = text
            return encode(lines)

        cases = {
            "LF only": encode(good_lines(), "\n"),
            "missing day": encode(good_lines()[:59] + good_lines()[60:]),
            "extra line": encode(good_lines() + ["01.01 Иван"]),
            "days swapped": encode([good_lines()[1], good_lines()[0]] + good_lines()[2:]),
            "no final CRLF": encode(good_lines())[:-2],
            "empty file": b"",
            "digit in names": edited(100, b.DAYS[100] + " Иван, 11 января"),
            "stray bracket": edited(100, b.DAYS[100] + " Марианна)"),
            "lower case": edited(100, b.DAYS[100] + " дельфий"),
            "Latin letters": edited(100, b.DAYS[100] + " Ivan"),
            "bad separator": edited(100, b.DAYS[100] + " Иван,Пётр"),
            "no space after date": edited(100, b.DAYS[100] + "Иван"),
            "name twice": edited(100, b.DAYS[100] + " Иван, Иван"),
            "Western name": edited(100, b.DAYS[100] + " Луиза"),
            "a see for a name": edited(b.DAYS.index("14.01"), "14.01 Василий, Кесария"),
            "church spelling": edited(100, b.DAYS[100] + " Иоанн"),
            "second spelling": edited(100, b.DAYS[100] + " Иродион"),
            "genitive": edited(100, b.DAYS[100] + " Василиссы"),
            "spot check 29.04": edited(b.DAYS.index("29.04"), "29.04 Мария, Агапия, Ирина, Хиония"),
            "names on Nativity": edited(6, "07.01 Валтасар"),
            "spot check lost": edited(b.DAYS.index("06.12"), "06.12 Александр"),
            "too long to show": edited(100, b.DAYS[100] + " " + ", ".join(["Александр"] * 140)),
            "bare CR inside": edited(100, b.DAYS[100] + " Иван\rПётр"),
        }
        for label, data in cases.items():
            with self.subTest(label):
                self.assertNotEqual(b.validate(data), [])

    def test_not_windows_1251(self):
        data = bytearray(encode(good_lines()))
        data[10] = 0x98  # unassigned in Windows-1251
        self.assertIn("Windows-1251", b.validate(bytes(data))[0])


class SplitToken(unittest.TestCase):
    def test_table(self):
        cases = {
            "Татьяна": ["Татьяна"],
            "11 января: Афинодор": ["Афинодор"],
            "Протерий13 марта Високосного года: Аверкий": ["Протерий", "Аверкий"],
            "то переходят сейчас на 1 Марта)": [],
            "Марианна)": ["Марианна"],
            "Всеволод (Гавриил)": ["Всеволод", "Гавриил"],
            "Мелитон и Аглаий": ["Мелитон", "Аглаий"],
            "Зоил и иные": ["Зоил"],
            "Рождество Пресвятой Богородицы. Иоанн": ["Иоанн"],
            "Крестителя Господня.": [],
            "Немь/ж": [],
            "Ростислав-Михаил": ["Ростислав", "Михаил"],
        }
        for raw, expected in cases.items():
            with self.subTest(raw):
                self.assertEqual([t.name for t in b.split_token(raw)[0]], expected)

    def test_doubt_mark(self):
        tokens, _ = b.split_token("Капитолина?")
        self.assertEqual([(t.name, t.doubtful) for t in tokens], [("Капитолина", True)])


def write_sources(folder, pravmir, krestilnoe, calend):
    """The three lists; each gets the movable names the builder takes out of it, ahead of the day's."""
    def key(stem, day):  # the church list keys 03.03 … 13.03 by a leap year, a day earlier
        d, m = int(day[:2]), day[3:]
        return f"{m}{d - 1:02d}" if stem == "krestilnoe" and m == "03" and 3 <= d <= 13 else m + day[:2]
    movable = {(stem, key(stem, d)): names for (stem, d), (names, _) in b.MOVABLE.items()}
    for stem, days in (("pravmir", pravmir), ("krestilnoe", krestilnoe), ("calend", calend)):
        entries = [{"date": key, "names": movable.get((stem, key), []) + names} for key, names in days]
        Path(folder, f"{stem}_namedays.json").write_text(json.dumps(entries, ensure_ascii=False),
                                                         encoding="utf-8")


LONG_DAY = ("Александр Аполлинарий Варфоломей Вениамин Евстафий Константин Маргарита Мефодий Никодим "
            "Серафим Харлампий Христофор Ярослав Святослав").split()


# Source keys of the days whose first names the build or the check insists on, with those names.
KNOWN = {}
for table in ({d: lead[0] for d, lead in b.MISSING_SIGNS.items()}, {d: p[0] for d, p in b.PRINCIPAL.items()}, b.SPOT_CHECKS):
    for d, names in table.items():
        known = KNOWN.setdefault(d[3:] + d[:2], [])
        known += [n for n in names if n not in known]


def all_days(names):
    return [(d[3:] + d[:2], list(names)) for d in b.DAYS if d != "29.02"]


class Signs(unittest.TestCase):
    def test_the_saints_a_title_names_in_its_order(self):
        day = ["Агафья", "Борис", "Василий", "Глеб", "Иван", "Мария", "Пётр", "Павел", "Сергей", "Макар",
               "Митрофан", "Лев"]
        cases = [
            (["Свт. Петра, митр. Московского"], ["Пётр"]),
            (["Мчч. Бориса и Глеба, во св. Крещении Романа и Давида", "Прп. Сергия"], ["Борис", "Глеб", "Сергей"]),
            (["Апостолов Петра и Павла", "Свт. Митрофана, в схиме Макария"], ["Пётр", "Павел", "Митрофан"]),
            (["Равноап. Владимира, во св. Крещении Василия"], []),
            (["Рождество Пресвятой Богородицы и Приснодевы Марии", "Иконы Божией Матери"], []),
            (["Перенесение мощей свт. Иоанна Златоуста", "Свт. Льва, папы"], ["Иван", "Лев"]),
        ]
        for titles, expected in cases:
            with self.subTest(titles[0]):
                self.assertEqual(b.sign_names(titles, day), expected)

    def test_movable_entries_are_left_out(self):
        cases = {None: True, "nday != 48": True, "!(nday == -57 || nday == -53)": True, "nday > 0": True,
                 "dow == 0": False, "nday == -43": False, "nday == 54 || nday == 52": False}
        for condition, fixed in cases.items():
            with self.subTest(condition):
                self.assertEqual(x.fixed(condition), fixed)


class Build(unittest.TestCase):
    def run_build(self, folder, out):
        return subprocess.run([sys.executable, str(HERE / "build_name_txt.py"), str(folder),
                               "--output", str(out)], capture_output=True, text=True)

    def test_merge_on_small_sources(self):
        pravmir = [(k, ["Иван", "Татьяна"] + (["Карл", "Капитолина?"] if k == "0320" else [])) for k, _ in all_days([])]
        pravmir.append(("0301", ["Илья", "то переходят сейчас на 1 Марта)"]))
        # The church list's own order, not the alphabet, those the civil list keeps too first; a day
        # too long for the label is cut.
        krest = [(k, KNOWN.get(k, LONG_DAY if k == "0321" else
                                 ["Вениамин", "Татиана", "Иоанн"] if k == "0323" else ["Татиана", "Иоанн"]))
                 for k, _ in all_days([])]
        krest.append(("0301", ["Феодор"]))  # leap-year 01.03, i.e. 02.03 in a common year
        calend = all_days(["Петр"])
        with tempfile.TemporaryDirectory() as tmp:
            write_sources(tmp, pravmir, krest, calend)
            result = self.run_build(tmp, Path(tmp, "name.txt"))
            self.assertEqual(result.returncode, 0, result.stderr)
            lines = Path(tmp, "name.txt").read_bytes().decode("cp1251").split("\r\n")
        by_day = {line[:5]: line[6:] for line in lines if line}
        self.assertEqual(by_day["20.03"], "Татьяна, Иван, Пётр")  # Western name and lone "?" dropped
        self.assertEqual(by_day["07.01"], "")
        self.assertEqual(by_day["01.03"], "Татьяна, Иван, Пётр, Илья")
        self.assertEqual(by_day["29.02"], by_day["01.03"])
        self.assertEqual(by_day["02.03"], "Фёдор, Пётр, Иван, Татьяна")  # shifted from the leap year
        self.assertEqual(by_day["03.03"], "Татьяна, Иван, Пётр")
        self.assertEqual(by_day["06.12"], "Александр, Митрофан, Пётр, Иван, Татьяна")
        self.assertEqual(by_day["23.03"], "Татьяна, Иван, Вениамин, Пётр")  # a newer saint after them
        self.assertEqual(by_day["29.04"], "Агапия, Ирина, Хиония, Пётр, Иван, Татьяна")  # no Myrrh-bearers
        self.assertEqual(by_day["13.03"], "Василий, Касьян, Татьяна, Иван, Пётр")  # principal saints first
        kept = by_day["21.03"].split(", ")
        self.assertEqual(kept, LONG_DAY[:len(kept)])
        fitter = b.LineFitter()
        self.assertTrue(fitter.fits(kept))
        self.assertFalse(fitter.fits(LONG_DAY[:len(kept) + 1]))

    def test_refuses_and_writes_nothing(self):
        good = [(k, KNOWN.get(k, ["Иван"])) for k, _ in all_days([])]
        leap = good + [("0301", ["Феодор"])]
        no_0526 = [d for d in good if d[0] != "0526"]
        no_0506 = [d for d in good if d[0] != "0506"]
        tatiana_second = [(k, ["Иван", "Татиана"] if k == "0125" else n) for k, n in good]
        cases = {
            "sound sources": (good, leap, good, True),
            "a day in no source": (no_0526, [d for d in leap if d[0] != "0526"], no_0526, False),
            "no leap-year 01.03 entry": (good, good, good, False),
            "spot check fails": (tatiana_second, tatiana_second + [("0301", ["Феодор"])], tatiana_second, False),
            "a leading name in no source": (no_0506 + [("0506", ["Иван"])], [d for d in leap if d[0] != "0506"],
                                            no_0506 + [("0506", ["Иван"])], False),
            "only junk left": (good[:100] + [(good[100][0], ["1 Марта)"])] + good[101:],
                               [d for d in leap if d[0] != good[100][0]],
                               [d for d in good if d[0] != good[100][0]], False),
        }
        for label, (pravmir, krest, calend, ok) in cases.items():
            with self.subTest(label), tempfile.TemporaryDirectory() as tmp:
                write_sources(tmp, pravmir, krest, calend)
                out = Path(tmp, "name.txt")
                out.write_bytes(b"old")
                result = self.run_build(tmp, out)
                self.assertEqual(result.returncode == 0, ok, result.stderr)
                self.assertEqual(out.read_bytes() == b"old", not ok)


class Shipped(unittest.TestCase):
    def test_shipped_file_is_sound(self):
        result = subprocess.run([sys.executable, str(HERE / "build_name_txt.py"), "--check",
                                 str(SHIPPED)], capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stderr)

    def test_sources_in_the_checkout_rebuild_it(self):
        with tempfile.TemporaryDirectory() as tmp:
            out = Path(tmp, "name.txt")
            result = subprocess.run([sys.executable, str(HERE / "build_name_txt.py"), "--output", str(out)],
                                    capture_output=True, text=True)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(out.read_bytes(), SHIPPED.read_bytes())


if __name__ == "__main__":
    unittest.main()

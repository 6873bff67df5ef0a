#!/usr/bin/python3
"""Build Data/name.txt, the name-day calendar the screensaver shows, from the scraped source lists.

    build_name_txt.py [SOURCE_DIR] [--output FILE]   build (default sources: sources/ beside this file)
    build_name_txt.py --check FILE                    validate an existing file, exit 0 or 1

Output: 366 lines, Windows-1251, CRLF, "dd.mm" + space + names joined by ", ", one line per civil
day 01.01 … 31.12 including 29.02. The build validates everything before it writes and writes nothing
on failure.

A line names the fixed commemorations of the day (the file is keyed by date: a commemoration that
moves with Easter or with a Sunday moves every year, so it has no place here) and stops where the
saints' label would need a third line (see LineFitter): the label stands just above the feast line,
and a longer list runs through it.

The order of a line, one rule throughout:
  1. the saints of a commemoration the Russian Church keeps with a vigil or a polyeleos, and of its
     great feasts, lead the day, in the Menaion's order: the signs are data (service_signs/signs.tsv,
     from a public calendar named in its README); MISSING_SIGNS adds the few the data set ranks lower;
  2. then the church list's saints in its order, those the civil calendar (pravmir) keeps too
     first: the church list puts the new martyrs of the 20th century in among the Menaion's saints
     of the day, often first, and the civil calendar does not list them, so the day's older saints
     come before them; PRINCIPAL mends the days where this rule misses the day's principal saint;
  3. then the names in common use (calend) and the civil calendar's own.
A saint stands once in a line (SAME_DAY_ALIAS), and a civil list's name of one saint whose day is the
day before or after is left out (ONE_SAINT_DAYS).
Old style: the civil date less 13 days (1900 … 2099); 29.02 holds the saints of old-style 16.02.

The sources (see sources/README.md) and how they are used:
  krestilnoe  church spellings, mapped to the civil forms below, in the order of the day's
              commemorations: it gives the order. Dates 01.03 … 12.03 are keyed by a leap year (its
              first 01.03 entry is 29.02, the second is 01.03 and so on), 20.11 also holds the Synaxis
              of the Archangels (21.11), and 0526/1121 are missing. It is one year's calendar, so
              that year's movable Sundays and Saturdays stand in it as if fixed (MOVABLE).
  calend      civil men's names in common use, alphabetical; on the great feasts with no saint
              (07.01, 19.01, 19.08, 28.08, 04.12) it repeats the next day's names, which are ignored.
  pravmir     civil spellings, alphabetical. Its lists are polluted with a Western name-day calendar
              (Луиза, Карл, Наполеон …), with parse junk and with "?" doubt marks.
"""

import argparse
import json
import os
import re
import sys
import tempfile
from datetime import date, timedelta
from pathlib import Path

HERE = Path(__file__).resolve().parent
DEFAULT_SOURCES = HERE / "sources"
DEFAULT_OUTPUT = HERE.parents[1] / "Data" / "name.txt"

NAME_RE = re.compile(r"[А-ЯЁ][а-яё]+(?:-[А-ЯЁ][а-яё]+)*")
MAX_NAMES_CHARS = 1500  # the reader shows characters 7 … 1506 of a line

# Every civil day, 29.02 included, in calendar order (2024 is a leap year).
DAYS = [(date(2024, 1, 1) + timedelta(n)).strftime("%d.%m") for n in range(366)]

# Church or variant spelling -> the one civil form used in the file. Where the civil source has a
# settled form (Агап, Пахом, Еремей, Касьян …) that form wins, so a saint is never listed twice.
CIVIL = {
    "Феодор": "Фёдор", "Федор": "Фёдор", "Фодор": "Фёдор", "Петр": "Пётр", "Семен": "Семён",
    "Симеон": "Семён", "Иоанн": "Иван", "Сергий": "Сергей", "Серги": "Сергей", "Алексий": "Алексей",
    "Димитрий": "Дмитрий", "Иаков": "Яков", "Иаковй": "Яков", "Михаилй": "Михаил", "Макарий": "Макар",
    "Дионисий": "Денис", "Илия": "Илья", "Иулиан": "Юлиан", "Косма": "Кузьма", "Козьма": "Кузьма",
    "Иулиания": "Юлиания", "Елисавета": "Елизавета", "Матфей": "Матвей", "Зинон": "Зенон",
    "Феодот": "Федот", "Евфросиния": "Ефросиния", "Ефросинья": "Ефросиния", "Татиана": "Татьяна",
    "Параскева": "Прасковья", "Парскева": "Прасковья", "Анания": "Ананий", "Гаий": "Гай",
    "Емилиан": "Емельян", "Парфений": "Парфен", "Дамиан": "Демьян", "Пахомий": "Пахом",
    "Евфрем": "Ефрем", "Пелагия": "Пелагея", "София": "Софья", "Софроний": "Софрон", "Фекла": "Фёкла",
    "Елевферий": "Елеферий", "Иеремия": "Еремей", "Иеремий": "Еремей", "Ермоген": "Гермоген",
    "Кассиан": "Касьян", "Севериан": "Северьян", "Фавст": "Фауст", "Елладий": "Элладий",
    "Елеазар": "Елизар", "Севастиан": "Севастьян", "Севастиана": "Севастьяна", "Дария": "Дарья",
    "Евфросин": "Ефросин", "Агафия": "Агафья", "Иасон": "Ясон", "Евстратий": "Евстрат",
    "Антипа": "Антип", "Ианнуарий": "Януарий", "Мокий": "Мокей", "Исаия": "Исай", "Исайя": "Исай",
    "Еразм": "Эразм", "Евфимия": "Ефимия", "Иерофей": "Ерофей", "Анисия": "Анисья", "Власий": "Влас",
    "Панкратий": "Панкрат", "Тарасий": "Тарас", "Аетий": "Аэтий", "Пантелеимон": "Пантелеймон",
    "Иувеналий": "Ювеналий", "Созонт": "Созон", "Назарий": "Назар", "Наталия": "Наталья",
    "Иулия": "Юлия", "Иулий": "Юлий", "Иустин": "Юстин", "Иустина": "Юстина", "Устинья": "Юстина",
    "Иуст": "Юст", "Иуния": "Юния", "Иустиниан": "Юстиниан", "Захария": "Захар", "Захарий": "Захар",
    "Харалампий": "Харлампий", "Стефан": "Степан", "Стефанида": "Степанида", "Антоний": "Антон",
    "Евфимий": "Ефим", "Исакий": "Исаакий", "Иоанна": "Иванна", "Мариамна": "Марианна",
    "Фадей": "Фаддей", "Артем": "Артём", "Архипп": "Архип", "Филицата": "Фелицата",
    "Фелицитата": "Фелицата", "Саторнил": "Сатурнил", "Саторнин": "Сатурнин", "Саломия": "Саломея",
    "Агапий": "Агап", "Арефа": "Арефий", "Диомид": "Демид", "Дометий": "Дементий",
    "Евсигний": "Евстигней", "Евфрасий": "Ефрасий", "Евфррасия": "Евфрасия", "Евхирион": "Ивхирион",
    "Екдикий": "Екдит", "Екдикт": "Екдит", "Елима": "Елим", "Еллий": "Гелий", "Енаффа": "Эннафа",
    "Епистимия": "Епистима", "Епифаний": "Епифан", "Ермократ": "Гермократ", "Ерос": "Эрос",
    "Ианикит": "Ианикита", "Исе": "Иессей", "Иссей": "Иессей", "Илиодор": "Лиодор",
    "Исмаил": "Измаил", "Иувентин": "Еввентий", "Касторий": "Кастор", "Коинт": "Квинт",
    "Крискентий": "Крискент", "Ксанфиппа": "Ксантиппа", "Лимний": "Лимней", "Малахия": "Малахий",
    "Мамелхва": "Мамелфа", "Манефа": "Манефия", "Менея": "Меней", "Моико": "Моика",
    "Никифон": "Никифор", "Никокострат": "Никострат", "Павма": "Памва", "Павслип": "Павсилип",
    "Пелий": "Пелей", "Полиеввкт": "Полиевкт", "Помпи": "Помпей", "Помпий": "Помпей",
    "Потамия": "Потамий", "Проскудия": "Просдока", "Пуплий": "Поплий", "Публий": "Поплий",
    "Сава": "Савва", "Сампсон": "Самсон", "Севир": "Север", "Сераион": "Серапион",
    "Сиулан": "Силуан", "Сулуан": "Силуан", "Трифиллий": "Трифилий", "Уар": "Увар", "Фавий": "Фабий",
    "Фемистоклей": "Фемистокл", "Феопемпт": "Феопент", "Филакл": "Филикл", "Филетен": "Филетер",
    "Филиппия": "Филиппа", "Фиофил": "Феофил", "Фодосия": "Феодосия", "Фулвиан": "Фульвиан",
    "Хусдазат": "Усфазан", "Вата": "Ват", "Гаиания": "Гаяния", "Гали": "Галина", "Галя": "Галина",
    "Георий": "Георгий", "Горий": "Горгий", "Евиласий": "Евласий", "Евода": "Евод",
    "Евтихиана": "Евтихиан", "Ахиллий": "Ахилл", "Аглаий": "Аглай", "Аммун": "Аммоний",
    "Анфира": "Анфир", "Авскентий": "Авксентий", "Уалент": "Валент", "Уалерий": "Валерий",
    "Куарт": "Кварт", "Кикилия": "Цецилия", "Фифея": "Фивея", "Вивея": "Фивея", "Авдий": "Авдей",
    "Аскилиада": "Асклиада", "Ексакустодиан": "Екзакустодиан", "Кастрикий": "Кастрихий",
    "Ксанф": "Ксанфий", "Селафиил": "Салафиил", "Ириней": "Ириний", "Васлид": "Василид",
    "Аврамий": "Авраамий", "Емилия": "Эмилия", "Епиктет": "Эпиктет", "Ераст": "Эраст",
    "Иосаф": "Иоасаф", "Иперихий": "Иперехий", "Калиста": "Каллиста", "Келсий": "Кельсий",
    "Лукиан": "Лукьян", "Патапий": "Потапий", "Сосанна": "Сусанна", "Софония": "Софоний",
    "Никола": "Николай", "Артемон": "Артамон", "Гордий": "Гордей", "Ахила": "Акила", "Анфуса": "Анфиса",
    # One civil spelling for a saint whom the lists spell two ways
    "Иродион": "Родион",  # the apostle Herodion (08.04, 23.11); Родион is his civil name
    "Кодрат": "Кондратий", "Кондрат": "Кондратий",  # Quadratus: the civil lists say Кондратий
    "Юрий": "Георгий", "Егор": "Георгий",  # popular forms of Георгий, listed beside it
    "Анисим": "Онисим",  # the apostle Onesimus, Онисим in the church list
    "Кирьяк": "Кириак",  # the civil list's Cyriacus beside the church list's
    # genitive forms left by the scraper
    "Василиссы": "Василиса", "Василисса": "Василиса", "Феодоры": "Феодора", "Гермогена": "Гермоген",
}

# Same saint under a second name form: dropped on a day that already lists the first. Not mapped
# everywhere because elsewhere the second form names another saint (Силуан Афонский, Исаак).
SAME_DAY_ALIAS = {
    "Исаак": "Исаакий", "Саторний": "Сатурнил", "Аполлоний": "Аполлон", "Библеида": "Вивлия",
    "Вивлеида": "Вивлия", "Вевея": "Фивея", "Кесарий": "Кесарь",
    "Македоний": "Македон", "Маруфан": "Маруф", "Нарсин": "Нарса", "Анимаида": "Анимаиса",
    "Пармений": "Пармен", "Провий": "Пров", "Савел": "Савелий", "Селевк": "Селевкий",
    "Силуан": "Сильван", "Алфий": "Алфей", "Ерм": "Ермей",
    # one saint under two names, "Хриса (Злата)" in the church list: the name the saint's Russian
    # namesakes bear stays (Злата, Светлана, Раиса, Разумник; Константин, as the list also calls
    # Exacustodian of the Seven Youths; Артемий, whom it also calls Artemon)
    "Хриса": "Злата", "Фотиния": "Светлана", "Фотина": "Светлана", "Ираида": "Раиса",
    "Синезий": "Разумник", "Екзакустодиан": "Константин", "Артамон": "Артемий",
}

# Names of a Western name-day calendar that leaked into the civil lists: none of them has a saint in
# the Orthodox calendar, and none occurs anywhere in the church list (asserted below).
WESTERN = frozenset("""
    Аврелия Аврора Ада Аделаида Аделина Алина Алиса Альберт Альбин Альфред Амалия Арнольд Артур
    Беатриса Бенедикта Берта Валтасар Вивиана Вилли Виола Виргиния Гаспар Гвидон Генриетта Генрих
    Гертруда Гортензия Диана Доминика Ида Изабелла Инесса Иоланта Ирма Казимир Камилла Карл Каролина
    Клара Клементина Колумб Констанс Констанция Корнелия Лаура Леокадия Леонард Леонтина Ливия Луиза
    Лукреция Люцилла Мартина Матильда Мельхиор Моника Наполеон Пальмира Петронилла Регина Ренат
    Рената Роберт Роза Розалия Сабина Сильвия Станислав Стелла Тереза Урсула Фелиция Христиан
    Элеонора Эмма Юлиана Ядвига
""".split())

# Tokens that look like names but are not: feasts of the Saviour, abbreviations, cut-off words,
# epithets, and sees the church list took from a saint's title ("Василий Великий, архиепископ
# Кесарии Каппадокийской" on 14.01, "Картерий, пресвитер Кесарии" on 21.01, "Петр. Севастия", St
# Peter of Sebaste, on 22.01).
# Богдан is a Slavonic rendering of Феодот, not the name of a saint of the calendar.
NOT_NAMES = frozenset("Спас Спасий Вас Преп Дим Том Уал Ареопагит Кесария Севастия Богдан".split())

# Words that mark a feast title ("Рождество Пресвятой Богородицы", "Крестителя Господня").
FEAST_WORDS = frozenset("""
    Рождество Сретение Преображение Успение Усекновение Воздвижение Покров Введение Господа Господня
    Бога Богородицы Пресвятой Иисуса Христа Спаса Крестителя Предтечи Креста Честного Животворящего
    Нашего
""".split())

# Source tokens whose repair needs knowledge rather than a rule.
FIXES = {
    ("pravmir", "0308", "дельфий"): ["Адельфий"],  # first letter lost; the list is alphabetical
    ("pravmir", "0113", "Немь/ж"): [],
    ("pravmir", "1121", "Еремей"): [],  # the archangel Иеремиил, listed next to it
    # The civil list's forms of the day's principal saint, which the church list spells otherwise
    ("pravmir", "0512", "Феогний"): ["Феогнид"],  # the martyr Theognis of Cyzicus, first of the nine
    ("pravmir", "0822", "Матвей"): ["Матфий"],  # the apostle Matthias, not Matthew (29.11)
    ("pravmir", "1117", "Аникий"): ["Иоанникий"],  # St Joannicius the Great
    # A genitive taken from a title: the translation of the relics of St Theodosius of Totma
    ("krestilnoe", "0827", "Феодосия"): ["Феодосий"],
}

# A name the civil lists give on a day and the church list only on the day before or after is that
# day's saint, spilt over (Prince Yaropolk, 05.12, given on the feast of 04.12). Only names of one
# saint are judged so: a name the church list gives on at most this many days of the year.
ONE_SAINT_DAYS = 3

# Great feasts on which no saint is commemorated, where the list of names in common use repeats the
# next day's names instead.
CALEND_COPIES = ("07.01", "19.01", "19.08", "28.08", "04.12")

# Nativity of Christ: no saint is commemorated, so no name day is kept. The sources give a Western
# Magus (Валтасар), the feast title, and a copy of 08.01.
EMPTY_DAYS = {"07.01"}

# Rule 1 reads the signs from service_signs/signs.tsv (its README says where they come from): by
# old-style date, the fixed commemorations kept with a vigil or a polyeleos, and the great feasts, in
# the day's order. A title names its saints in the genitive ("Свт. Петра, митр. Московского"); the
# day's names whose genitive stands in it lead. Words after these name a saint's other name (Vladimir
# "во св. Крещении Василия", Mitrophan "в схиме Макария"), which is not the commemoration's.
SIGNS = HERE / "service_signs" / "signs.tsv"
OTHER_NAME_WORDS = frozenset("Крещении крещении схиме".split())

# The Russian Church keeps these with a vigil or a polyeleos, and the data set ranks them lower or
# leaves them out: they lead the day, before the data set's signs.
MISSING_SIGNS = {
    "24.07": (["Ольга"], "St Olga, Equal to the Apostles: polyeleos; the data set gives six stichera"),
    "01.08": (["Серафим"], "finding of the relics of St Seraphim of Sarov: vigil; no sign in the data set"),
    "28.06": (["Иона"], "St Jonah, Metropolitan of Moscow: polyeleos; no sign in the data set"),
    "30.04": (["Зосима"], "St Zosima of Solovki: polyeleos; no sign in the data set"),
    "28.05": (["Дмитрий"], "St Demetrius the Tsarevich: polyeleos; no sign in the data set"),
    "01.06": (["Корнилий"], "St Cornelius of Komel: polyeleos; no sign in the data set"),
    "02.06": (["Алексей"], "finding of the relics of St Alexius of Moscow: polyeleos; no sign in the data set"),
    "23.07": (["Антон"], "St Antony of the Kiev Caves: polyeleos; the data set ranks only the Robe of the Lord"),
    "04.10": (["Дмитрий"], "St Demetrius, Metropolitan of Rostov: polyeleos; no sign in the data set"),
    "18.10": (["Пётр", "Алексей", "Иона", "Филипп"], "the Moscow hierarchs Peter, Alexius, Jonah and Philip: "
              "polyeleos; no sign in the data set"),
    "06.12": (["Александр"], "St Alexander Nevsky: polyeleos, before St Mitrophan; no sign in the data set"),
}

# A title that names the Theotokos, a feast or an icon of hers, leads no name: it is no one's name day
# (the Nativity of the Theotokos names "Приснодевы Марии"; 12.10 old style, the Philermos icon and
# the hand of St John the Baptist brought to Gatchina, is the icon's and the relic's feast).
THEOTOKOS_WORDS = ("Богородиц", "Божией Матери")


def genitives(name):
    """Genitive forms of a church nominative (Пётр → Петра, Сергий → Сергия, Нина → Нины)."""
    n = name.replace("ё", "е")
    if n.endswith(("ий", "ей", "ай")):
        return {n[:-1] + "я"}
    if n.endswith(("ия", "ея")):
        return {n[:-1] + "и"}
    if n.endswith("а"):
        return {n[:-1] + "ы", n[:-1] + "и"}
    if n.endswith("я"):
        return {n[:-1] + "и"}
    if n.endswith("ь"):
        return {n[:-1] + "я"}
    forms = {n + "а"}
    if n.endswith("ел"):
        forms.add(n[:-2] + "ла")  # Павел → Павла
    if n == "Лев":
        forms.add("Льва")
    return forms


CHURCH_FORMS = {}
for _church, _civil in CIVIL.items():
    CHURCH_FORMS.setdefault(_civil, {_civil}).add(_church)


def load_signs(path=SIGNS):
    """{old-style "MM-DD": [title …]} in the day's order."""
    signs = {}
    for line in Path(path).read_text(encoding="utf-8").splitlines():
        if line and not line.startswith("#"):
            fields = line.split("\t")
            if len(fields) != 3 or not re.fullmatch(r"\d\d-\d\d", fields[0]):
                raise ValueError(f"{path}: malformed row {line!r}")
            signs.setdefault(fields[0], []).append(fields[2])
    return signs


def old_style(day):
    """The old-style dates whose saints a civil "dd.mm" shows (1900 … 2099); 29.02 is 16.02."""
    if day == "29.02":
        return ["02-16"]
    d, m = map(int, day.split("."))
    return [(date(2025, m, d) - timedelta(13)).strftime("%m-%d")]


def sign_names(titles, candidates):
    """The candidates a day's sign titles name, in the titles' order and each title's own."""
    found = []
    for title in titles:
        if any(w in title for w in THEOTOKOS_WORDS):
            continue
        words = re.findall(r"[А-ЯЁа-яё]+", title.replace("ё", "е"))
        cut = next((i for i, w in enumerate(words) if w in OTHER_NAME_WORDS), len(words))
        position = {w: i for i, w in reversed(list(enumerate(words[:cut])))}
        hits = []
        for name in candidates:
            at = [position[g] for form in CHURCH_FORMS.get(name, {name}) for g in genitives(form) if g in position]
            if at:
                hits.append((min(at), name))
        found += [name for _, name in sorted(hits) if name not in found]
    return found


# Days where rule 2 misses the day's principal saint: the church list lacks it or puts a lesser
# commemoration first. These names follow the signs of rule 1 and come before the rest.
PRINCIPAL = {
    "01.01": (["Вонифатий"], "the martyr Boniface; the church list puts St Ilya of Murom first"),
    "13.03": (["Василий", "Касьян"], "St Basil the Confessor, then St Cassian (old-style 29.02, kept on "
                                     "28.02 in a common year), whom the civil list lacks"),
    "07.08": (["Анна"], "the Dormition of St Anne, the Menaion's first commemoration of the day; the civil "
                       "list's names come first by rule 2"),
    "26.05": (["Гликерия", "Лаодикий"], "the martyr Glyceria and her guard Laodicius; the church list "
                                        "lacks the day"),
}

# Movable commemorations the scraped year's calendar put on a fixed day: (source, day) -> the names
# taken out of that source's list on that day, each once (a fixed saint of the same name stays).
# The church list (krestilnoe) is the calendar of 2012 (Easter 15.04) from March to December and of
# 2013 in January; it names a Sunday's or Saturday's saint first.
MOVABLE = {
    ("krestilnoe", "13.01"): (["Иосиф", "Давид", "Яков"], "Sunday after the Nativity, 13.01.2013: "
                              "the righteous Joseph the Betrothed, King David, James the Brother of the Lord"),
    ("calend", "12.01"): (["Давид", "Иосиф", "Яков"], "Sunday after the Nativity of the list's year"),
    ("krestilnoe", "04.03"): (["Фёдор"], "Saturday of St Theodore the Recruit, 1st week of Lent, 03.03.2012"),
    ("krestilnoe", "12.03"): (["Григорий"], "2nd Sunday of Lent, St Gregory Palamas, 11.03.2012"),
    ("krestilnoe", "25.03"): (["Иван"], "4th Sunday of Lent, St John of the Ladder, 25.03.2012"),
    ("krestilnoe", "01.04"): (["Мария"], "5th Sunday of Lent, St Mary of Egypt, 01.04.2012"),
    ("pravmir", "28.03"): (["Мария"], "5th Sunday of Lent, St Mary of Egypt, 28.03.2004"),
    ("krestilnoe", "07.04"): (["Лазарь"], "Lazarus Saturday, 07.04.2012"),
    ("krestilnoe", "29.04"): (["Мария", "Саломея", "Иванна", "Марфа", "Сусанна", "Иосиф", "Никодим", "Тамара"],
                              "Sunday of the Myrrh-bearers, Easter + 14, 29.04.2012, with St Tamara of Georgia, "
                              "whose day it is"),
    ("krestilnoe", "06.05"): (["Тавифа", "Авраамий"], "Easter + 21, 06.05.2012: the righteous Tabitha, and the "
                              "translation of the relics of St Abraham of Bulgaria"),
    ("krestilnoe", "30.05"): (["Додо"], "Easter + 45, 30.05.2012: St Dodo of Gareji"),
    ("krestilnoe", "31.05"): (["Давид"], "Easter + 46, 31.05.2012: St David of Gareji (the martyr David "
                              "with Tarichan, 18.05 old style, stays)"),
    ("pravmir", "11.06"): (["Варлаам"], "St Barlaam of Khutyn on the first Friday of the Apostles' Fast, "
                           "Easter + 61, 11.06.2004"),
    ("krestilnoe", "15.06"): (["Варлаам"], "St Barlaam of Khutyn on the first Friday of the Apostles' Fast, "
                              "Easter + 61, 15.06.2012"),
    ("krestilnoe", "15.07"): (["Тихон", "Василий", "Никон"], "Sunday after 29.06 old style, 15.07.2012: "
                              "Ss Tikhon, Basil and Nikon of Sokolov"),
    ("calend", "15.07"): (["Арсений"], "Sunday after 29.06 old style: translation of the relics of "
                          "St Arsenius of Tver"),
    ("pravmir", "15.07"): (["Арсений"], "Sunday after 29.06 old style: translation of the relics of "
                           "St Arsenius of Tver"),
}

# Lines that must begin with these names, in this order.
SPOT_CHECKS = {
    "06.12": ["Александр", "Митрофан"],
    "29.04": ["Агапия", "Ирина", "Хиония"],
    "14.01": ["Василий"],
    "19.12": ["Николай"],
    "25.01": ["Татьяна"],
    "30.09": ["Вера", "Надежда", "Любовь", "Софья"],
    "02.01": ["Иван", "Игнатий"],  # St John of Kronstadt (polyeleos), then the Menaion's first
    "28.06": ["Иона", "Амос"],
    "07.08": ["Анна"],
}

# The saints' label: 7680 twips wide (512 pixels at 96 dpi), "Times New Roman" bold, shown with
# Liberation Serif where that font is missing. It starts at 14.25 points and comes back at 16 after
# F10; between its top and the feast line there is room for two lines at either size. The view test
# measures every line with the program's own measurer; this estimate only has to stay on the safe
# side of it.
FONT_FILE = "/usr/share/fonts/truetype/liberation/LiberationSerif-Bold.ttf"
LABEL_WIDTH_PX = 7680 / 15
FONT_SIZES_PT = (14.25, 16.0)
MAX_LINES = 2


class Token:
    __slots__ = ("name", "doubtful")

    def __init__(self, name, doubtful=False):
        self.name = name
        self.doubtful = doubtful


def split_token(raw):
    """Names in one scraped token. "Всеволод (Гавриил)" gives both, "11 января: Афинодор" the
    name only, feast titles and phrases give nothing. Returns (tokens, dropped parts)."""
    tokens, dropped = [], []
    raw = re.sub(r"(?<=[а-яё])(?=\d)", ":", raw)  # "Протерий13 марта …" is two parts
    for part in re.split(r"[.,;:()]", raw):
        words = [w for w in part.split() if w not in ("и", "иные")]  # "Зоил и иные"
        if not words:
            continue
        doubtful = False
        if len(words) == 1 and words[0].endswith("?"):
            words[0] = words[0][:-1]
            doubtful = True
        if any(w in FEAST_WORDS for w in words) or not all(NAME_RE.fullmatch(w) for w in words):
            dropped.append(part.strip())
            continue
        for word in words:
            for piece in word.split("-"):  # "Ростислав-Михаил": a name day for either name
                tokens.append(Token(piece, doubtful))
    return tokens, dropped


def load_source(folder, stem):
    path = Path(folder) / f"{stem}_namedays.json"
    with open(path, encoding="utf-8") as f:
        data = json.load(f)
    if not isinstance(data, list):
        raise ValueError(f"{path}: not a JSON array")
    entries = []
    for item in data:
        key, names = item.get("date"), item.get("names")
        if not (isinstance(key, str) and re.fullmatch(r"\d{4}", key) and isinstance(names, list)):
            raise ValueError(f"{path}: malformed entry {item!r}")
        entries.append((key, [str(n) for n in names]))
    return entries


def parse_source(stem, entries, dropped):
    """{"dd.mm": [[Token …] per entry]} with known repairs applied. Of two entries for one date the
    one that held junk goes second (pravmir's clean 01.03 list is the real one)."""
    days = {}
    for key, names in entries:
        tokens, had_junk = [], False
        for raw in names:
            fix = FIXES.get((stem, key, raw))
            if fix is not None:
                tokens.extend(Token(n) for n in fix)
                continue
            got, junk = split_token(raw)
            tokens.extend(got)
            dropped.extend(f"{stem} {key}: {j}" for j in junk)
            had_junk = had_junk or bool(junk)
        days.setdefault(f"{key[2:]}.{key[:2]}", []).append((had_junk, tokens))
    return {day: [tokens for _, tokens in sorted(got, key=lambda e: e[0])] for day, got in days.items()}


def realign_krestilnoe(days):
    """Key the church list by common-year dates like the others."""
    march = days.get("01.03", [])
    if len(march) != 2:
        raise ValueError("krestilnoe: expected two 0301 entries (leap-year 29.02 and 01.03)")
    # Leap-year civil 29.02 … 12.03 is old-style 16.02 … 28.02, which a common year has one day
    # later; old-style 29.02 (13.03) is kept on 28.02 in a common year, i.e. on 13.03 again.
    shifted = {"01.03": [march[0]], "02.03": [march[1]]}
    for day in range(2, 13):
        src, dst = f"{day:02d}.03", f"{day + 1:02d}.03"
        shifted[dst] = days.get(src, []) + (days.get(dst, []) if dst == "13.03" else [])
    days.update(shifted)
    # 20.11 runs on into the Archangels of 21.11 (missing in this list) from "Рафаил" on.
    nov20 = [t for entry in days.get("20.11", []) for t in entry]
    cut = next((i for i, t in enumerate(nov20) if t.name == "Рафаил"), None)
    if cut is not None:
        days["20.11"] = [nov20[:cut]]
        days["21.11"] = days.get("21.11", []) + [nov20[cut:]]
    return days


class LineFitter:
    """Whether a names text wraps into MAX_LINES lines of the label at every size, by the font's
    own advance widths without kerning, which only narrows a line (the toolkit's lines come out a
    little narrower than this estimate)."""

    def __init__(self, font_file=FONT_FILE):
        from PIL import ImageFont  # python3-pil; only the build needs it
        self._font = ImageFont.truetype(font_file, 2048)  # 2048 = Liberation's units per em
        self._units = {}

    def _width(self, text, px):
        total = 0
        for ch in text:
            if ch not in self._units:
                self._units[ch] = self._font.getlength(ch)
            total += self._units[ch] * px / 2048
        return total

    def lines(self, text, points):
        """Lines the label wraps the text into, breaking at spaces like the toolkit."""
        px = points * 96 / 72
        space = self._width(" ", px)
        count, used = 0, None
        for word in text.split(" "):
            w = self._width(word, px)
            if used is not None and used + space + w <= LABEL_WIDTH_PX:
                used += space + w
            else:
                count, used = count + 1, w
        return count

    def fits(self, names):
        text = ", ".join(names)
        return all(self.lines(text, pt) <= MAX_LINES for pt in FONT_SIZES_PT)


def build(folder, fitter=None, signs_file=SIGNS):
    fitter = fitter or LineFitter()
    signs = load_signs(signs_file)
    dropped = []
    pravmir = parse_source("pravmir", load_source(folder, "pravmir"), dropped)
    krest = realign_krestilnoe(parse_source("krestilnoe", load_source(folder, "krestilnoe"), dropped))
    calend = parse_source("calend", load_source(folder, "calend"), dropped)
    for day in CALEND_COPIES:
        calend.pop(day, None)

    church = {CIVIL.get(t.name, t.name) for entries in krest.values() for tokens in entries for t in tokens}
    clash = sorted(WESTERN & church)
    if clash:
        raise ValueError(f"names taken for Western occur in the church list: {clash}")

    church_days = {}
    for day in DAYS:
        for tokens in krest.get("01.03" if day == "29.02" else day, []):
            for t in tokens:
                church_days.setdefault(CIVIL.get(t.name, t.name), set()).add(day)
    lines = {}
    for day in DAYS:
        if day in EMPTY_DAYS:
            lines[day] = []
            continue
        source_day = "01.03" if day == "29.02" else day  # old-style 16.02 in both cases
        if not any(source_day in src for src in (pravmir, krest, calend)):
            raise ValueError(f"no source lists {day}")
        per_source = {
            "krestilnoe": [t for tokens in krest.get(source_day, []) for t in tokens],
            "calend": [t for tokens in calend.get(source_day, []) for t in tokens],
            "pravmir": [t for tokens in pravmir.get(source_day, []) for t in tokens],
        }
        civil = {stem: [(CIVIL.get(t.name, t.name), t.doubtful) for t in tokens] for stem, tokens in per_source.items()}
        for stem, tokens in civil.items():
            for name in MOVABLE.get((stem, day), ((),))[0]:
                at = next((i for i, (n, _) in enumerate(tokens) if n == name), None)
                if at is None:
                    raise ValueError(f"{day}: movable {name} not in {stem}")
                del tokens[at]
        sure = {n for tokens in civil.values() for n, doubtful in tokens if not doubtful}
        names = []
        for name in MISSING_SIGNS.get(day, ((),))[0]:
            if name not in sure:
                raise ValueError(f"{day}: leading name {name} in no source")
            names.append(name)
        titles = [t for d in old_style(day) for t in signs.get(d, [])]
        names += [n for n in sign_names(titles, sorted(sure - WESTERN - NOT_NAMES)) if n not in names]
        for table in (PRINCIPAL,):
            for name in table.get(day, ((),))[0]:
                if name not in sure:
                    raise ValueError(f"{day}: leading name {name} in no source")
                if name not in names:
                    names.append(name)
        kept_by_civil = {n for n, _ in civil["pravmir"]}
        civil = [[t for t in civil["krestilnoe"] if t[0] in kept_by_civil],
                 [t for t in civil["krestilnoe"] if t[0] not in kept_by_civil],
                 civil["calend"], civil["pravmir"]]
        for tokens in civil:
            for name, doubtful in tokens:
                if name in WESTERN or name in NOT_NAMES:
                    continue
                if doubtful and name not in sure:  # the site's own "?" and no second source
                    continue
                if name not in names:
                    names.append(name)
        names = [n for n in names if SAME_DAY_ALIAS.get(n) not in names
                 and n not in neighbours_only(day, church_days)]
        if not names:
            raise ValueError(f"no names left for {day}")
        kept = 0
        while kept < len(names) and fitter.fits(names[:kept + 1]):
            kept += 1
        if kept == 0:
            raise ValueError(f"{day}: {names[0]} alone does not fit the label")
        lines[day] = names[:kept]
    return lines, dropped


def neighbours_only(day, church_days):
    """Names of one saint whom the church list keeps on the day before or after, and not on this one."""
    at = DAYS.index(day)
    near = {DAYS[i] for i in (at - 1, (at + 1) % len(DAYS))}
    return {n for n, days in church_days.items()
            if len(days) <= ONE_SAINT_DAYS and day not in days and days & near}


def format_file(lines):
    text = "".join(f"{day} {', '.join(lines[day])}\r\n" for day in DAYS)
    return text.encode("cp1251")  # raises UnicodeEncodeError on anything outside Windows-1251


def validate(data):
    """Problems found in the bytes of a name file; an empty list means the file is sound."""
    problems = []
    try:
        text = data.decode("cp1251")
    except UnicodeDecodeError as e:
        return [f"not Windows-1251: byte {data[e.start]:#04x} at offset {e.start}"]
    if not text.endswith("\r\n"):
        problems.append("the last line does not end in CRLF")
    body = text[:-2] if text.endswith("\r\n") else text
    lines = body.split("\r\n")
    for n, line in enumerate(lines, 1):
        if "\r" in line or "\n" in line:
            problems.append(f"line {n}: a line break that is not CRLF")
    if len(lines) != len(DAYS):
        problems.append(f"{len(lines)} lines, expected {len(DAYS)}")
    found = {}
    for n, (line, day) in enumerate(zip(lines, DAYS), 1):
        if line[:5] != day:
            problems.append(f"line {n}: date {line[:5]!r}, expected {day}")
            continue
        if line[5:6] != " ":
            problems.append(f"line {n}: no space after the date")
            continue
        names_text = line[6:]
        if len(names_text) > MAX_NAMES_CHARS:
            problems.append(f"line {n}: names text of {len(names_text)} characters would be cut")
        names = names_text.split(", ") if names_text else []
        for name in names:
            if not NAME_RE.fullmatch(name):
                problems.append(f"line {n}: not a name: {name!r}")
            elif name in WESTERN or name in NOT_NAMES:
                problems.append(f"line {n}: not an Orthodox name day: {name}")
            elif name in CIVIL:  # one spelling per saint in the whole file
                problems.append(f"line {n}: {name} where the file spells the saint {CIVIL[name]}")
            elif name.endswith(("ы", "ии")):
                problems.append(f"line {n}: a genitive, not a name: {name}")
        if len(set(names)) != len(names):
            problems.append(f"line {n}: a name listed twice")
        found[day] = names
    for day, expected in SPOT_CHECKS.items():
        if day in found and found[day][:len(expected)] != expected:
            problems.append(f"{day}: does not begin with {', '.join(expected)}")
    if found.get("07.01"):
        problems.append("07.01 (Nativity) lists names")
    return problems


def write_atomically(path, data):
    path.parent.mkdir(parents=True, exist_ok=True)
    fd, tmp = tempfile.mkstemp(dir=path.parent, prefix=".name.txt.")
    try:
        umask = os.umask(0)
        os.umask(umask)
        os.fchmod(fd, 0o666 & ~umask)  # an ordinary data file, not mkstemp's private 0600
        with os.fdopen(fd, "wb") as f:
            f.write(data)
        os.replace(tmp, path)
    except BaseException:
        os.unlink(tmp)
        raise


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("sources", nargs="?", default=str(DEFAULT_SOURCES),
                        help="folder with the *_namedays.json lists")
    parser.add_argument("--output", default=str(DEFAULT_OUTPUT), help="file to write")
    parser.add_argument("--check", metavar="FILE", help="only validate FILE")
    parser.add_argument("--verbose", action="store_true", help="list the source parts dropped")
    args = parser.parse_args(argv)

    if args.check:
        try:
            data = Path(args.check).read_bytes()
        except OSError as e:
            print(f"{args.check}: {e.strerror}", file=sys.stderr)
            return 1
        problems = validate(data)
        for p in problems:
            print(f"{args.check}: {p}", file=sys.stderr)
        return 1 if problems else 0

    try:
        lines, dropped = build(args.sources)
        data = format_file(lines)
    except (OSError, ValueError) as e:  # UnicodeEncodeError is a ValueError
        print(f"build_name_txt: {e}", file=sys.stderr)
        return 1
    problems = validate(data)
    if problems:
        for p in problems:
            print(f"build_name_txt: {p}", file=sys.stderr)
        print("build_name_txt: nothing written", file=sys.stderr)
        return 1
    if args.verbose:
        for d in dropped:
            print(f"dropped {d}", file=sys.stderr)
    write_atomically(Path(args.output), data)
    print(f"wrote {args.output}: {len(DAYS)} days, {sum(map(len, lines.values()))} names")
    return 0


if __name__ == "__main__":
    sys.exit(main())

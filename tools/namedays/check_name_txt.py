#!/usr/bin/python3
"""Check a name-day file against an independent church calendar of the fixed commemorations.

    check_name_txt.py [FILE] [--calendar TSV] [--exceptions TSV] [--verbose]

The calendar (church_calendar/calendar.tsv, see its README) gives the titles of each old-style day's
commemorations in the Typikon and in the Lives of the saints, in genitive church forms ("Страдание
святых мучениц Агапии, Хионии и Ирины"). The builder does not read it. For every civil day of FILE
(default: Data/name.txt):

  first   the line's first name is one of the saints those titles name on the day's old-style date;
  lead    the saints of a commemoration the Typikon keeps with a vigil or a polyeleos (its rank
          middle/vigil, middle/polyeleos or great/vigil) stand in the line before all others;
  word    every name of the line is the name of a saint somewhere in the calendar.

A disagreement listed in check_exceptions.tsv (beside the builder, each with its reason) is allowed;
any other fails the check, and so does an exception that no longer matches a disagreement (it would
hide the next fault on that day). Exit 0 when the file agrees, 1 otherwise.
"""

import argparse
import re
import sys
from datetime import date, timedelta
from pathlib import Path

HERE = Path(__file__).resolve().parent
CALENDAR = HERE / "church_calendar" / "calendar.tsv"
EXCEPTIONS = HERE / "check_exceptions.tsv"
NAME_FILE = HERE.parents[1] / "Data" / "name.txt"

DAYS = [(date(2024, 1, 1) + timedelta(n)).strftime("%d.%m") for n in range(366)]


def old_style(day):
    """Old-style dates "MM-DD" whose saints a civil "dd.mm" shows: 13 days earlier in 1900 … 2099,
    reckoned in a common year; 29.02 is old-style 16.02, and 13.03 also keeps St Cassian of
    old-style 29.02, whose day a common year lacks."""
    if day == "29.02":
        return ["02-16"]
    d, m = map(int, day.split("."))
    dates = [(date(2025, m, d) - timedelta(13)).strftime("%m-%d")]
    if day == "13.03":
        dates.append("02-29")
    return dates


# ---------------------------------------------------------------- names in the titles

WORD_RE = re.compile(r"[А-Яа-яЁё]+|[^\sА-Яа-яЁё]")

# Words after which a capitalised word names a place or a see, not a saint ("архиепископа Кесарии",
# "всея России", "в Кесарии").
PLACE_BEFORE = frozenset("""
    в во из от на у близ при к над под града граде град городе города епископа архиепископа
    митрополита патриарха папы всея монастыря обители храма горы горе реке реки езере пустыни
""".split())

# The words that open a title ("Память святаго …", "Житие …"), and no saint's name.
TITLE_HEADS = frozenset("""
    Память Житие Страдание Страдания Преставление Предпразднство Собор Слово Воспоминание Обретение
    Перенесение Пренесение Сказание Празднование Празднество Празднуем Успение Отдается Явление Первое
    Второе Третие Сретение Убиение Повесть Положение Зачатие Еже Синаксарь Поклонение Обновление
    Рождество Возвращение Жизнеописание Подвиги Освящение Происхождение Крещение Иже Во О
""".split())

# Endings of adjectives ("Суждальскаго", "Киевских", "Египетской") and of plural forms.
ADJECTIVE_RE = re.compile(r".*(ого|аго|его|яго|ой|ей|ыя|ския|ских|цких|ных|ский|ской|ском|ским|ые|ие|ым|ых)$")


def key(name):
    """A name form for comparison: ё as е, doubled letters single (Савва/Сава, Иоанн/Иоан)."""
    name = name.lower().replace("ё", "е")
    return re.sub(r"(.)\1", r"\1", name)


def nominatives(genitive):
    """Church nominative forms whose genitive a title word can be (Агапии → Агапия, Георгиа →
    Георгий, Павла → Павел, Луки → Лука). Every title names its saints in the genitive."""
    g = genitive.lower().replace("ё", "е")
    g = re.sub(r"([иео])а$", r"\1я", g)  # Slavonic Георгиа, Тимофеа, Сисоа
    g = re.sub(r"аа$", "ая", g)          # Николаа
    out = set()
    if g.endswith("ия"):
        out.add(g[:-2] + "ий")
    elif g.endswith(("ея", "оя", "ая", "уя")):
        out.add(g[:-1] + "й")
    elif g.endswith("я"):
        out |= {g[:-1] + "ь", g[:-1]}                # Игоря → Игорь; Ильи's partner forms below
    if g.endswith("ии"):
        out.add(g[:-1] + "я")                        # Агапии, Захарии, Марии
    elif g.endswith("еи"):
        out.add(g[:-1] + "я")                        # Пелагеи
    elif g.endswith("и"):
        out |= {g[:-1] + "а", g[:-1] + "я", g[:-1] + "ь"}  # Луки, Ильи, Любови
    if g.endswith(("бви", "бве")):
        out.add(g[:-2] + "овь")                      # Любви, Любве → Любовь
    if g.endswith("ы"):
        out.add(g[:-1] + "а")                        # Ирины, Никиты
    if g.endswith("а") and len(g) > 2:
        stem = g[:-1]
        out.add(stem)                                # Иоанна, Петра
        if re.search(r"[бвгдзклмнпрстфх][лвнр]$", stem):
            out.add(stem[:-1] + "е" + stem[-1])      # Павла → Павел
        if re.search(r"ь[вц]$", stem):
            out.add(stem[:-2] + "е" + stem[-1])      # Льва → Лев
    return {n.capitalize() for n in out}


def title_words(title):
    """The words of a title that name a person: capitalised, not an adjective, not after a word
    that introduces a place. Common words the titles capitalise are removed by the caller."""
    words = WORD_RE.findall(title)
    names = []
    for i, w in enumerate(words):
        if not w[0].isupper() or not w[0].isalpha() or len(w) < 2:
            continue
        prev = words[i - 1].lower() if i else ""
        if prev in PLACE_BEFORE or ADJECTIVE_RE.fullmatch(w.lower()) or w in TITLE_HEADS:
            continue
        names.append(w.capitalize())
    return names


class Calendar:
    """The calendar's saints: by old-style date, the keys of the nominatives its titles name."""

    def __init__(self, rows):
        self.titles = {}
        for day, book, rank, title in rows:
            self.titles.setdefault(day, []).append((book, rank, title))
        # A word the titles also write in lower case is a common word (Святаго, Пророка, Великого).
        common = set()
        for day_titles in self.titles.values():
            for _, _, title in day_titles:
                common |= {w for w in WORD_RE.findall(title)[1:] if w.islower() and len(w) > 2}
        self.common = common
        self.by_day = {}
        self.names = set()
        for day, day_titles in self.titles.items():
            keys = set()
            for _, _, title in day_titles:
                for w in title_words(title):
                    if w.lower() not in common:
                        keys |= {key(n) for n in nominatives(w)}
            self.by_day[day] = keys
            self.names |= keys

    @classmethod
    def load(cls, path=CALENDAR):
        rows = []
        for line in Path(path).read_text(encoding="utf-8").splitlines():
            if line and not line.startswith("#"):
                fields = line.split("\t")
                if len(fields) != 4 or not re.fullmatch(r"\d\d-\d\d", fields[0]):
                    raise ValueError(f"{path}: malformed row {line!r}")
                rows.append(tuple(fields))
        return cls(rows)

    def principal(self, day):
        return set().union(*(self.by_day.get(d, set()) for d in old_style(day)))


# ---------------------------------------------------------------- civil names to church forms

# Civil names whose church form no spelling rule below reaches.
CHURCH_FORMS = {
    "Иван": "Иоанн", "Иванна": "Иоанна", "Степан": "Стефан", "Степанида": "Стефанида",
    "Семён": "Симеон", "Дмитрий": "Димитрий", "Кузьма": "Косма Козма", "Денис": "Дионисий",
    "Демьян": "Дамиан", "Емельян": "Емилиан", "Касьян": "Кассиан", "Прасковья": "Параскева",
    "Юрий": "Георгий", "Егор": "Георгий", "Осип": "Иосиф", "Аким": "Иоаким", "Матвей": "Матфей",
    "Захар": "Захария", "Исай": "Исаия", "Елизар": "Елеазар", "Лиодор": "Илиодор",
    "Евстигней": "Евсигний", "Демид": "Диомид", "Дементий": "Дометий", "Мокей": "Мокий",
    "Поплий": "Публий Пуплий", "Гермоген": "Ермоген", "Гермократ": "Ермократ",
    "Януарий": "Ианнуарий", "Родион": "Иродион", "Харлампий": "Харалампий",
    "Пантелеймон": "Пантелеимон", "Кондрат": "Кодрат", "Аксинья": "Ксения", "Ульяна": "Иулиания",
    "Устинья": "Иустина", "Улита": "Иулитта", "Еремей": "Иеремия", "Ерофей": "Иерофей",
    "Ананий": "Анания", "Фёкла": "Фекла", "Илья": "Илия", "Пелагея": "Пелагия",
    "Ефрем": "Евфрем", "Елеферий": "Елевферий", "Аэтий": "Аетий", "Агафья": "Агафия",
    "Илларион": "Иларион", "Лукьян": "Лукиан", "Созон": "Созонт", "Мартьян": "Мартиниан",
    "Фауст": "Фавст", "Галина": "Галина", "Арефий": "Арефа", "Ивхирион": "Евхирион",
    "Антип": "Антипа", "Архип": "Архипп", "Авдей": "Авдий", "Агап": "Агапий",
    "Феопент": "Феопемпт Феопемт", "Зенон": "Зинон", "Елизавета": "Елисавета",
    "Сатурнин": "Саторнин", "Сатурнил": "Саторнил", "Артамон": "Артемон", "Потапий": "Патапий",
    "Малахий": "Малахия", "Софоний": "Софония", "Самсон": "Сампсон", "Увар": "Уар",
    "Анисим": "Онисим", "Кондратий": "Кодрат", "Измаил": "Исмаил", "Фабий": "Фавий", "Гай": "Гаий",
    "Иперехий": "Иперихий", "Ириний": "Ириней", "Кварт": "Куарт", "Меней": "Миней Минея",
    "Филикл": "Филакл", "Иакинф": "Вакинф", "Цецилия": "Кикилия", "Матвей": "Матфей", "Валент": "Уалент",
    "Валерий": "Уалерий", "Светлана": "Фотиния Фотина", "Салафиил": "Селафиил",
    "Манефия": "Манефа", "Мамелфа": "Мамелхфа", "Кирьяк": "Кириак", "Ианикита": "Ианикит",
    "Ксантиппа": "Ксанфиппа", "Марианна": "Мариамна", "Екзакустодиан": "Ексакустодиан", "Фемистокл": "Фемистоклей",
}


def church_forms(civil):
    """Church nominatives a civil name may stand for, the name itself among them."""
    forms = {civil.replace("ё", "е")} | set(CHURCH_FORMS.get(civil, "").split())
    for _ in range(2):
        for f in list(forms):
            forms.add(re.sub(r"ей$", "ий", f))          # Сергей → Сергий
            forms.add(re.sub(r"ья$", "ия", f))          # Наталья → Наталия
            forms.add(re.sub(r"ьян", "иан", f))         # Севастьян → Севастиан
            forms.add(re.sub(r"ья", "ия", f))           # Татьяна → Татиана
            forms.add(re.sub(r"^Ю", "Иу", f))           # Юлиания → Иулиания
            forms.add(re.sub(r"^Я", "Иа", f))           # Яков → Иаков
            forms.add(re.sub(r"^Э", "Е", f))            # Эраст → Ераст
            forms.add(re.sub(r"^Еф", "Евф", f))         # Ефим → Евфим(ий)
            forms.add(re.sub(r"^Фе(?!о)", "Фео", f))    # Федот → Феодот
            forms.add(re.sub(r"(?<=[бвгдзклмнпрстфх])ь(?=[бвгдзклмнпрстфх])", "", f))  # Альвиан → Алвиан
            if re.search(r"[бвгдзклмнпрстфхц]$", f):
                forms.add(f + "ий")                     # Антон → Антоний
    return forms


def keys_of(civil):
    return {key(f) for f in church_forms(civil)}


# ---------------------------------------------------------------- the comparison

def read_lines(data):
    text = data.decode("cp1251")
    lines = {}
    for line in text.split("\r\n"):
        if len(line) >= 5 and line[:5] in DAYS:
            lines[line[:5]] = line[6:].split(", ") if line[6:] else []
    return lines


KINDS = ("first", "lead", "word", "spelling")

SIGN_RANKS = frozenset({"middle/polyeleos", "middle/vigil", "great/vigil"})

# Words of a feast's title that name the Lord or the Theotokos: her feasts and His are no one's name day.
DIVINE = frozenset("Господа Господня Бога Спаса Иисуса Христа Владычицы Богородицы Богородице Марии".split())

# Words after which a title gives a saint's other name, not the commemoration's ("нареченнаго во
# святом крещении Василиа", "в схимонасех Макариа").
OTHER_NAME = frozenset("крещении схимонасех".split())


def sign_words(calendar, day):
    """The words of the day's vigil and polyeleos titles that may name a saint the file lists."""
    words = []
    for d in old_style(day):
        for _, rank, title in calendar.titles.get(d, []):
            if rank not in SIGN_RANKS:
                continue
            cut = title
            for w in OTHER_NAME:
                cut = cut.split(w)[0]
            words += [w for w in title_words(cut) if w.lower() not in calendar.common and w not in DIVINE
                      and w not in words]
    return words


def load_exceptions(path=EXCEPTIONS):
    """{key: reason} from "kind <TAB> day or - <TAB> names <TAB> reason" rows. The keys:
    ("first", day, name); ("lead", day, word), a vigil or polyeleos title's word;
    ("word", name) for each name of the row, allowed on any day;
    ("spelling", frozenset of the row's names), names that are different saints."""
    found = {}
    for n, line in enumerate(Path(path).read_text(encoding="utf-8").splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        fields = line.split("\t")
        kind, where, names = (fields + ["", "", ""])[:3]
        names = names.split()
        if (len(fields) != 4 or kind not in KINDS or not fields[3].strip() or not names
                or (where in DAYS) != (kind in ("first", "lead")) or (kind in ("word", "spelling") and where != "-")
                or (kind in ("first", "lead") and len(names) != 1) or (kind == "spelling" and len(names) < 2)):
            raise ValueError(f"{path}:{n}: expected first|lead, a day, a name and a reason; or word|spelling, "
                             "-, names and a reason")
        if kind in ("first", "lead"):
            keys = [(kind, where, names[0])]
        elif kind == "word":
            keys = [("word", name) for name in names]
        else:
            keys = [("spelling", frozenset(names))]
        for k in keys:
            if k in found:
                raise ValueError(f"{path}:{n}: {' '.join(names)} listed twice")
            found[k] = fields[3]
    return found


def disagreements(lines, calendar):
    """The keys of every disagreement of the lines with the calendar, as load_exceptions makes them:
    a line that does not begin with a saint of its day, a name the calendar has nowhere, and two
    names of the file that are church forms of one saint."""
    found = []
    for day in DAYS:
        names = lines.get(day, [])
        if names and not keys_of(names[0]) & calendar.principal(day):
            found.append(("first", day, names[0]))
    used = sorted({n for names in lines.values() for n in names})
    found += leads(lines, calendar, {k for n in used for k in keys_of(n)})
    found += [("word", n) for n in used if not keys_of(n) & calendar.names]
    by_key = {}
    for n in used:
        for k in keys_of(n):
            by_key.setdefault(k, set()).add(n)
    found += sorted({("spelling", frozenset(s)) for s in by_key.values() if len(s) > 1}, key=str)
    return found


def leads(lines, calendar, file_keys):
    """("lead", day, word) for each vigil or polyeleos title word naming a saint of the file's names
    who is missing from the day's line or stands behind a name that no such title gives."""
    found = []
    for day in DAYS:
        names = lines.get(day, [])
        words = [(w, {key(n) for n in nominatives(w)}) for w in sign_words(calendar, day)]
        words = [(w, k) for w, k in words if k & file_keys]
        signed = [bool(keys_of(n) & set().union(set(), *(k for _, k in words))) for n in names]
        for w, k in words:
            at = next((i for i, n in enumerate(names) if keys_of(n) & k), None)
            if at is None or not all(signed[:at]):
                found.append(("lead", day, w))
    return found


def describe(k):
    return {"first": lambda: f"{k[1]} first: {k[2]}", "lead": lambda: f"{k[1]} lead: {k[2]}",
            "word": lambda: f"word: {k[1]}",
            "spelling": lambda: f"spelling: {' '.join(sorted(k[1]))}"}[k[0]]()


def compare(lines, calendar, exceptions):
    """(figures, problems): the figures of the comparison and the disagreements that fail it,
    including exceptions that match no disagreement (they would hide the next fault)."""
    found = disagreements(lines, calendar)
    problems = [describe(k) for k in found if k not in exceptions]
    problems += [f"{describe(k)}: listed as an exception but agrees" for k in exceptions if k not in found]
    days = [d for d in DAYS if lines.get(d)]
    used = {n for names in lines.values() for n in names}
    figures = {
        "days": len(days),
        "first excepted": len([k for k in found if k[0] == "first"]),
        "sign days": len([d for d in DAYS if sign_words(calendar, d)]),
        "leads excepted": len([k for k in found if k[0] == "lead"]),
        "names": len(used),
        "words excepted": len([k for k in found if k[0] == "word"]),
        "spellings excepted": len([k for k in found if k[0] == "spelling"]),
    }
    figures["first agrees"] = figures["days"] - figures["first excepted"]
    return figures, problems


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("file", nargs="?", default=str(NAME_FILE))
    parser.add_argument("--calendar", default=str(CALENDAR))
    parser.add_argument("--exceptions", default=str(EXCEPTIONS))
    args = parser.parse_args(argv)
    try:
        lines = read_lines(Path(args.file).read_bytes())
        calendar = Calendar.load(args.calendar)
        exceptions = load_exceptions(args.exceptions)
    except (OSError, ValueError) as e:
        print(f"check_name_txt: {e}", file=sys.stderr)
        return 1
    figures, problems = compare(lines, calendar, exceptions)
    for p in problems:
        print(f"check_name_txt: {p}", file=sys.stderr)
    print(f"{figures['first agrees']} of {figures['days']} days begin with a saint the calendar names "
          f"on the day, {figures['first excepted']} by exception; on the {figures['sign days']} days of a vigil or "
          f"a polyeleos its saints lead, {figures['leads excepted']} by exception; of {figures['names']} different names "
          f"{figures['names'] - figures['words excepted']} are names of the calendar, "
          f"{figures['words excepted']} by exception; {figures['spellings excepted']} pairs of names "
          "that share a church form, all different saints by exception")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""The catalogue check on a scratch template and catalogues: a good set passes, and each spoilt
one is named for what is wrong with it."""
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import check_catalogues  # noqa: E402

TEMPLATE = r'''msgid ""
msgstr ""
"Content-Type: text/plain; charset=UTF-8\n"

#: app/a.cpp:1
msgid "&Start Timer"
msgstr ""

#: app/a.cpp:2
msgctxt "tray"
msgid "Break in {minutes} minutes"
msgstr ""

#: app/a.cpp:3
msgid "{n} break"
msgid_plural "{n} breaks"
msgstr[0] ""
msgstr[1] ""
'''

HEADER = r'''msgid ""
msgstr ""
"Language: ru\n"
"X-Language-Name: Русский\n"
"Content-Type: text/plain; charset=UTF-8\n"
"Plural-Forms: nplurals=3; plural=(n%10==1 && n%100!=11 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || n%100>=20) ? 1 : 2);\n"
'''

GOOD = HEADER + r'''
msgid "&Start Timer"
msgstr "&Запустить таймер"

msgctxt "tray"
msgid "Break in {minutes} minutes"
msgstr "Перерыв через {minutes} "
"мин."

#~ msgid "Old"
#~ msgstr "Старое"

msgid "{n} break"
msgid_plural "{n} breaks"
msgstr[0] "{n} перерыв"
msgstr[1] "{n} перерыва"
msgstr[2] "{n} перерывов"
'''


def run(po_text, pot_text=TEMPLATE, committed=TEMPLATE):
    with tempfile.TemporaryDirectory() as scratch:
        d = Path(scratch)
        (d / "built.pot").write_text(pot_text, encoding="utf-8")
        (d / "po").mkdir()
        if committed is not None:
            (d / "po" / "unwindle.pot").write_text(committed, encoding="utf-8")
        (d / "po" / "ru.po").write_text(po_text, encoding="utf-8")
        return check_catalogues.check(d / "built.pot", d / "po")


def main():
    failures = []
    if run(GOOD):
        failures.append(f"the good set was refused: {run(GOOD)}")
    spoilt = [
        ("a message left out", GOOD.replace('msgid "&Start Timer"\nmsgstr "&Запустить таймер"\n', ""),
         "does not translate '&Start Timer'"),
        ("the context lost", GOOD.replace('msgctxt "tray"\n', ""), "does not translate [tray]"),
        ("a placeholder renamed", GOOD.replace("через {minutes}", "через {minute}"), "{minute}"),
        ("a placeholder left out", GOOD.replace("через {minutes} ", "через "), "leaves out {minutes}"),
        ("a plural form missing", GOOD.replace('msgstr[2] "{n} перерывов"\n', ""), "has 2 forms, not 3"),
        ("a form empty", GOOD.replace('msgstr[1] "{n} перерыва"', 'msgstr[1] ""'), "a form is empty"),
        ("no count in any form", GOOD.replace("{n} перерыв", "перерыв"), "leaves out {n} in every form"),
        ("fuzzy", GOOD.replace('msgid "&Start Timer"', '#, fuzzy\nmsgid "&Start Timer"'), "is fuzzy"),
        ("not translated", GOOD.replace('msgstr "&Запустить таймер"', 'msgstr ""'), "not translated"),
        ("a message the code lacks", GOOD + '\nmsgid "Gone"\nmsgstr "Нет"\n', "no longer says"),
        ("no language name", GOOD.replace('"X-Language-Name: Русский\\n"\n', ""), "X-Language-Name"),
    ]
    for what, text, expected in spoilt:
        faults = run(text)
        if not any(expected in f for f in faults):
            failures.append(f"{what}: expected a fault with {expected!r}, got {faults}")
    stale = run(GOOD, committed=TEMPLATE.replace('msgid "&Start Timer"', 'msgid "&Go"'))
    if not any("po/unwindle.pot: lacks '&Start Timer'" in f.replace("\\", "/") for f in stale) or \
            not any("has '&Go'" in f for f in stale):
        failures.append(f"a stale template: {stale}")
    if not any("missing" in f for f in run(GOOD, committed=None)):
        failures.append("no template in po/ was not named")
    for f in failures:
        print(f)
    print("check_catalogues: every spoilt catalogue was named" if not failures else "")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Checks the message catalogues against the template the build extracted from the code.

    tools/check_catalogues.py BUILT_POT PO_DIR

- PO_DIR/unwindle.pot holds the same messages as BUILT_POT (`make pot` refreshes it);
- every PO_DIR/<language>.po translates every message of the template (not fuzzy, no form
  empty, as many forms as its Plural-Forms says), with the same named placeholders ("{minutes}")
  as the English text, holds no message the template lacks, and names its language in its own
  words (header X-Language-Name, shown in the Language menu).
Prints each fault; exits 1 when there is one.
"""
import re
import sys
from pathlib import Path

PLACEHOLDER = re.compile(r"\{([A-Za-z_][A-Za-z0-9_]*)\}")
ESCAPES = {"n": "\n", "t": "\t", '"': '"', "\\": "\\", "r": "\r", "a": "\a", "b": "\b",
           "f": "\f", "v": "\v"}


def unquote(text, where):
    text = text.strip()
    if len(text) < 2 or text[0] != '"' or text[-1] != '"':
        raise ValueError(f"{where}: not a quoted string: {text}")
    out, i, body = [], 0, text[1:-1]
    while i < len(body):
        c = body[i]
        if c == "\\" and i + 1 < len(body):
            out.append(ESCAPES.get(body[i + 1], body[i + 1]))
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def read_po(path):
    """The messages of a .po or .pot: a list of dicts (ctx, id, plural, strs, fuzzy)."""
    messages = []

    def fresh():
        return {"ctx": None, "id": None, "plural": None, "strs": {}, "fuzzy": False}

    entry, field = fresh(), None
    for number, raw in enumerate(Path(path).read_text(encoding="utf-8").splitlines(), 1):
        line = raw.strip()
        where = f"{path}:{number}"
        if not line or line.startswith("#~"):
            continue
        m = re.match(r'^(msgctxt|msgid_plural|msgid|msgstr(?:\[(\d+)\])?)\s+(".*")$', line)
        starts = line.startswith("#") or (m and m.group(1) in ("msgctxt", "msgid"))
        if starts and entry["strs"]:
            messages.append(entry)
            entry, field = fresh(), None
        if line.startswith("#"):
            if line.startswith("#,") and "fuzzy" in line:
                entry["fuzzy"] = True
            continue
        if m:
            k, index, value = m.group(1), m.group(2), unquote(m.group(3), where)
            if k.startswith("msgstr"):
                field = ("strs", int(index) if index is not None else 0)
                entry["strs"][field[1]] = value
            else:
                field = ({"msgctxt": "ctx", "msgid": "id", "msgid_plural": "plural"}[k],)
                entry[field[0]] = value
            continue
        if line.startswith('"') and field is not None:
            value = unquote(line, where)
            if field[0] == "strs":
                entry["strs"][field[1]] += value
            else:
                entry[field[0]] += value
            continue
        raise ValueError(f"{where}: cannot read: {raw}")
    if entry["id"] is not None:
        messages.append(entry)
    return messages


def key(m):
    return (m["ctx"], m["id"], m["plural"])


def name(k):
    ctx, mid, plural = k
    return (f"[{ctx}] " if ctx else "") + repr(mid) + (f" / {plural!r}" if plural else "")


def header_of(messages):
    for m in messages:
        if m["id"] == "" and m["ctx"] is None:
            fields = {}
            for line in m["strs"].get(0, "").split("\n"):
                if ":" in line:
                    k, v = line.split(":", 1)
                    fields[k.strip()] = v.strip()
            return fields
    return {}


def check(built_pot, po_dir):
    faults = []
    template = [m for m in read_po(built_pot) if m["id"] != ""]
    wanted = {key(m): m for m in template}
    committed_path = Path(po_dir) / "unwindle.pot"
    if not committed_path.exists():
        faults.append(f"{committed_path}: missing (make pot)")
    else:
        committed = {key(m) for m in read_po(committed_path) if m["id"] != ""}
        for k in sorted(set(wanted) - committed, key=str):
            faults.append(f"{committed_path}: lacks {name(k)} (make pot)")
        for k in sorted(committed - set(wanted), key=str):
            faults.append(f"{committed_path}: has {name(k)}, no longer in the code (make pot)")
    for po in sorted(Path(po_dir).glob("*.po")):
        messages = read_po(po)
        header = header_of(messages)
        if not header.get("X-Language-Name"):
            faults.append(f"{po}: no X-Language-Name in the header (the language in its own words)")
        m = re.search(r"nplurals\s*=\s*(\d+)", header.get("Plural-Forms", ""))
        nplurals = int(m.group(1)) if m else 2
        have = {key(m): m for m in messages if m["id"] != ""}
        for k, t in wanted.items():
            m = have.get(k)
            if m is None:
                faults.append(f"{po}: does not translate {name(k)}")
                continue
            if m["fuzzy"]:
                faults.append(f"{po}: {name(k)} is fuzzy")
            forms = [m["strs"].get(i, "") for i in range(nplurals if t["plural"] else 1)]
            if t["plural"] and len(m["strs"]) != nplurals:
                faults.append(f"{po}: {name(k)} has {len(m['strs'])} forms, not {nplurals}")
            if any(f == "" for f in forms):
                faults.append(f"{po}: {name(k)} is not translated (a form is empty)")
                continue
            english = set(PLACEHOLDER.findall(t["id"])) | set(PLACEHOLDER.findall(t["plural"] or ""))
            found = set()
            for f in forms:
                placeholders = set(PLACEHOLDER.findall(f))
                found |= placeholders
                for p in sorted(placeholders - english):
                    faults.append(f"{po}: {name(k)} has {{{p}}}, which the English text lacks")
                if not t["plural"]:
                    for p in sorted(english - placeholders):
                        faults.append(f"{po}: {name(k)} leaves out {{{p}}}")
            if t["plural"]:
                for p in sorted(english - found):
                    faults.append(f"{po}: {name(k)} leaves out {{{p}}} in every form")
        for k in sorted(set(have) - set(wanted), key=str):
            faults.append(f"{po}: translates {name(k)}, which the code no longer says (make pot)")
    return faults


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip())
        return 2
    faults = check(argv[1], argv[2])
    for f in faults:
        print(f)
    if faults:
        return 1
    print("catalogues: every one translates every message of the template")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

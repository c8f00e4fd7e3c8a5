#!/usr/bin/env python3
"""The release manifests: written from a stand-in release, they pass the check; every way of
spoiling them or the files beside them is named by the check.

    tools/release_manifests_test.py [BUILD_VERSION]

BUILD_VERSION (the build's UNWINDLE_VERSION) is compared with the version the check reads from
CMakeLists.txt by itself.
"""
import shutil
import subprocess
import sys
import tempfile
import zipfile
from pathlib import Path

TOOLS = Path(__file__).resolve().parent
sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, str(TOOLS))
import check_release_manifests as checker  # noqa: E402

VERSION = V = "3.7"
SETUP = f"Unwindle-{VERSION}-setup.exe"
ZIP = f"Unwindle-{VERSION}-portable.zip"
INSTALLER = "winget/KORVANTE.Unwindle.installer.yaml"
VERSION_FILE = "winget/KORVANTE.Unwindle.yaml"
LOCALE = "winget/KORVANTE.Unwindle.locale.en-US.yaml"
SCOOP = "scoop/unwindle.json"


def make_release(dist, members=("unwindle.exe", "unwindle.com", "README.txt", "LICENSE.txt")):
    dist.mkdir(parents=True)
    (dist / SETUP).write_bytes(b"MZ stand-in setup " * 500)
    with zipfile.ZipFile(dist / ZIP, "w") as z:
        for name in members:
            z.writestr(name, f"stand-in {name}")


def write(dist):
    return subprocess.run(
        [sys.executable, str(TOOLS / "release_manifests.py"), str(dist), "--version", VERSION],
        capture_output=True,
        text=True,
    )


def edit(rel, old, new):
    def spoil(dist):
        path = dist / rel
        text = path.read_text()
        if old not in text:
            raise AssertionError(f"{old!r} not in {rel}")
        path.write_text(text.replace(old, new, 1))

    return spoil


def append_bytes(rel):
    def spoil(dist):
        with open(dist / rel, "ab") as f:
            f.write(b"\0")

    return spoil


def rezip(dist):
    (dist / ZIP).unlink()
    with zipfile.ZipFile(dist / ZIP, "w") as z:
        z.writestr("unwindle.exe", "another build")
        z.writestr("unwindle.com", "another build")


def copy(rel, to):
    return lambda dist: shutil.copy(dist / rel, dist / to)


def remove(rel):
    return lambda dist: (dist / rel).unlink()


# (what is spoiled, how, a word the check's fault must contain)
SPOILS = [
    ("setup rebuilt after writing", append_bytes(SETUP), "InstallerSha256"),
    ("zip rebuilt after writing", rezip, "scoop hash"),
    ("winget version of another release", edit(VERSION_FILE, f'"{V}"', '"3.6"'), "PackageVersion"),
    ("installer of another release", edit(INSTALLER, f'"{V}"', '"3.8"'), "PackageVersion"),
    ("locale of another release", edit(LOCALE, f'"{V}"', "3.7.1"), "PackageVersion"),
    ("scoop of another release", edit(SCOOP, f'"version": "{V}"', '"version": "3.6"'), "version"),
    ("installer URL of another file", edit(INSTALLER, SETUP, ZIP), "InstallerUrl"),
    ("scoop URL of another file", edit(SCOOP, f"/{ZIP}", f"/{SETUP}"), "scoop url"),
    ("silent switch lost", edit(INSTALLER, "  Silent: /S", "  Silent: /quiet"), "Silent switch"),
    ("machine scope", edit(INSTALLER, "Scope: user", "Scope: machine"), "Scope"),
    ("YAML with a tab", edit(INSTALLER, "  Silent:", "\tSilent:"), "not well formed"),
    ("YAML badly indented", edit(INSTALLER, "  SilentWith", "   SilentWith"), "not well formed"),
    ("YAML key given twice", edit(LOCALE, "License:", "Publisher: X\nLicense:"), "not well formed"),
    ("YAML scalar unterminated", edit(LOCALE, f'"{VERSION}"', f'"{VERSION}'), "not well formed"),
    ("YAML flow sequence", edit(LOCALE, "Tags:\n- ", "Tags: [a]\n- "), "not well formed"),
    ("schema line of another version", edit(VERSION_FILE, "version.1.", "version.0."), "schema"),
    ("JSON cut short", edit(SCOOP, '"version"', '"version'), "not well formed JSON"),
    ("scoop bin outside the zip", edit(SCOOP, '"unwindle.com"', '"bin/unwindle.com"'), "not in"),
    ("scoop shims of one name", edit(SCOOP, '"unwindlew"', '"Unwindle"'), "one name"),
    ("locale file missing", remove(LOCALE), "missing"),
    ("scoop manifest missing", remove(SCOOP), "missing"),
    ("setup missing", remove(SETUP), "missing"),
    ("an old version's file left", copy(VERSION_FILE, "winget/old.yaml"), "more than one"),
]

# (YAML text, what it reads as, or None when it is not well formed)
YAML_CASES = [
    ("A: 1\nB: '1.0'\nC: \"x: y\"\n", {"A": 1, "B": "1.0", "C": "x: y"}),
    ("L:\n- a\n- b # note\nM:\n  - K: v\n    J: w\n", {"L": ["a", "b"], "M": [{"K": "v", "J": "w"}]}),
    ("# comment\n\nA: https://x.example/a:b\n", {"A": "https://x.example/a:b"}),
    ("A: 'it''s'\n", {"A": "it's"}),
    ("A:\n", None),
    ("A: b: c\n", None),
    ("A: {b: c}\n", None),
    ("A: x\n B: y\n", None),
    (" A: x\n", None),
    ("A: x\n---\nB: y\n", None),
    ("- a\n", None),
]


def main():
    failed = 0
    total = 0

    def verdict(ok, what):
        nonlocal failed, total
        total += 1
        if not ok:
            failed += 1
            print(f"FAIL {what}")

    if len(sys.argv) > 1:
        verdict(
            checker.project_version() == sys.argv[1],
            f"the check reads version {checker.project_version()}, the build has {sys.argv[1]}",
        )

    for text, want in YAML_CASES:
        try:
            got = checker.parse_yaml(text)
        except checker.YamlError:
            got = None
        verdict(got == want, f"YAML {text!r}: read as {got!r}, expected {want!r}")

    with tempfile.TemporaryDirectory() as tmp:
        base = Path(tmp) / "base"
        make_release(base)
        run = write(base)
        verdict(run.returncode == 0, f"writing the manifests: {run.stderr}")
        faults = checker.check(base, VERSION)
        verdict(not faults, f"fresh manifests: {faults}")
        verdict(checker.check(base, "3.8") != [], "the check finds no fault for another version")
        try:
            import yaml  # only to compare, where it happens to be installed
        except ImportError:
            yaml = None
        for rel in (VERSION_FILE, INSTALLER, LOCALE):
            text = (base / rel).read_text()
            if yaml:
                same = yaml.safe_load(text) == checker.parse_yaml(text)
                verdict(same, f"{rel}: PyYAML reads it otherwise")

        for i, (what, spoil, word) in enumerate(SPOILS):
            dist = Path(tmp) / f"spoiled{i}"
            shutil.copytree(base, dist)
            spoil(dist)
            faults = checker.check(dist, VERSION)
            verdict(any(word in f for f in faults), f"{what}: no fault with {word!r} in {faults}")

        lacking = [("unwindle.exe", "README.txt"), ("app/unwindle.exe", "unwindle.com")]
        for i, members in enumerate(lacking):
            dist = Path(tmp) / f"badzip{i}"
            make_release(dist, members)
            run = write(dist)
            refused = run.returncode != 0 and "holds no" in run.stderr
            verdict(refused, f"manifests written for a zip of {members}")

    print(f"{total - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Fails when an include runs against the direction of the layers (docs/ARCHITECTURE.md).

    tools/check_layers.py [ROOT]

Core folders may include only the folders below them, and only standard C++ headers in angle
brackets (no system or toolkit header). A back end may include the core and itself, but no other
back end; only the entry points named below include app/. Tests, benchmarks and tools are free.
Prints each offending file, line and include; exits 1 when there is one.
"""
import re
import subprocess
import sys
from pathlib import Path

# What each core folder may include, itself included.
CORE = {
    "platform": {"platform"},
    "forms": {"forms", "platform"},
    "i18n": {"i18n", "platform"},
    "settings": {"settings", "i18n", "platform"},
    "tray": {"tray", "settings", "i18n", "platform"},
    "alerts": {"alerts", "settings", "i18n", "platform"},
    "history": {"history", "settings", "i18n", "platform"},
    "cycle": {"cycle", "tray", "alerts", "history", "settings", "i18n", "platform"},
    "app": {"app", "cycle", "tray", "alerts", "history", "settings", "i18n", "forms", "platform"},
}
# A back end sees the whole core but app/, its own folder and the pictures drawn by code.
BACKEND_MAY = (set(CORE) - {"app"}) | {"resources"}
# The files that build a program and so may include app/.
ENTRY_POINTS = {
    "backends/win32/main.cpp",
    "backends/win32/unwindle_com.cpp",
    "backends/qt/main_qt.cpp",
    "backends/fake/sim.h",
    "backends/fake/sim.cpp",
}
FREE = {"tests", "bench", "tools", "resources"}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]')
STANDARD = re.compile(r"^[a-z_]+$")  # <string>, <cstdint>: no extension, no folder


def folder_of(path):
    parts = path.split("/")
    if parts[0] == "backends" and len(parts) > 2:
        return "/".join(parts[:2])
    return parts[0] if len(parts) > 1 else ""


def allowed(source, target):
    if source in CORE:
        return target in CORE[source]
    if source.startswith("backends/"):
        return target == source or target in BACKEND_MAY
    return True


def check(root):
    files = subprocess.run(
        ["git", "ls-files", "--cached", "--others", "--exclude-standard", "*.cpp", "*.h"],
        cwd=root, capture_output=True, text=True, check=True).stdout.split()
    faults = []
    for path in files:
        source = folder_of(path)
        if source in FREE or not source:
            continue
        try:
            lines = (Path(root) / path).read_text(errors="replace").splitlines()
        except OSError:
            continue
        for number, line in enumerate(lines, 1):
            m = INCLUDE.match(line)
            if not m:
                continue
            bracket, name = m.groups()
            where = f"{path}:{number}: #include {bracket}{name}{'>' if bracket == '<' else chr(34)}"
            if bracket == "<":
                if source in CORE and not STANDARD.match(name):
                    faults.append(f"{where}  (the core includes standard C++ headers only)")
                continue
            target = folder_of(name)
            if "/" not in name:
                continue  # beside the file itself
            if target == "app" and path in ENTRY_POINTS:
                continue
            if not allowed(source, target):
                faults.append(f"{where}  ({source}/ may not include {target}/)")
    return faults


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else str(Path(__file__).resolve().parent.parent)
    faults = check(root)
    for fault in faults:
        print(fault)
    if faults:
        print(f"check-layers: {len(faults)} include(s) against the layers (docs/ARCHITECTURE.md)")
        return 1
    print("check-layers: every include runs down the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Checks the package manifests of a release against the files beside them.

    tools/check_release_manifests.py DIST [--version VERSION]

VERSION defaults to the one project(Unwindle VERSION ...) in CMakeLists.txt gives the build. Checks
that DIST/winget/ (the winget set of the per-user installer) and DIST/scoop/unwindle.json (Scoop,
the portable zip) are well formed, name that version, hash the setup and the zip as they are, and
point at what the zip and the installer really hold. Reads the YAML itself (block mappings and
sequences of plain or quoted scalars, the part of YAML the manifests use; anything else is a
fault), so it needs no YAML library. Prints each fault; exits 1 when there is one.
"""
import argparse
import hashlib
import json
import re
import sys
import zipfile
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
PACKAGE_ID = "KORVANTE.Unwindle"


class YamlError(Exception):
    pass


def _scalar(text, no):
    if text.startswith('"'):
        try:
            value, end = json.JSONDecoder().raw_decode(text)
        except ValueError as e:
            raise YamlError(f"line {no}: bad double-quoted scalar: {e}") from None
        if text[end:].strip() and not text[end:].lstrip().startswith("#"):
            raise YamlError(f"line {no}: text after a quoted scalar")
        return value
    if text.startswith("'"):
        m = re.fullmatch(r"'((?:[^']|'')*)'\s*(?:#.*)?", text)
        if not m:
            raise YamlError(f"line {no}: bad single-quoted scalar")
        return m.group(1).replace("''", "'")
    text = re.sub(r"\s+#.*$", "", text)
    if not text or text[0] in "[]{}&*!|>%@`,?:-" and not re.match(r"-\d", text):
        raise YamlError(f"line {no}: scalar {text!r} is not a plain one")
    if ": " in text or text.endswith(":"):
        raise YamlError(f"line {no}: a mapping where a scalar should be: {text!r}")
    if re.fullmatch(r"[-+]?\d+", text):
        return int(text)
    return text


_KEY = re.compile(r"([A-Za-z][A-Za-z0-9]*):(?:\s+(.*))?$")


def _block(lines, pos, indent):
    if lines[pos][2].startswith("- ") or lines[pos][2] == "-":
        return _sequence(lines, pos, indent)
    return _mapping(lines, pos, indent)


def _mapping(lines, pos, indent):
    out = {}
    while pos < len(lines):
        no, ind, text = lines[pos]
        if ind < indent:
            break
        if ind > indent:
            raise YamlError(f"line {no}: unexpected indentation")
        if text.startswith("-"):
            break
        m = _KEY.match(text)
        if not m:
            raise YamlError(f"line {no}: not 'Key: value': {text!r}")
        key, rest = m.group(1), m.group(2)
        if key in out:
            raise YamlError(f"line {no}: {key} given twice")
        pos += 1
        if rest is not None and not rest.startswith("#"):
            out[key] = _scalar(rest, no)
            continue
        # A nested block: more indented, or a sequence at the key's own indentation.
        if pos < len(lines) and (
            lines[pos][1] > indent or (lines[pos][1] == indent and lines[pos][2].startswith("- "))
        ):
            out[key], pos = _block(lines, pos, lines[pos][1])
        else:
            raise YamlError(f"line {no}: {key} has no value")
    return out, pos


def _sequence(lines, pos, indent):
    out = []
    while pos < len(lines):
        no, ind, text = lines[pos]
        if ind != indent or not text.startswith("- "):
            if ind > indent:
                raise YamlError(f"line {no}: unexpected indentation")
            break
        item = text[2:].lstrip()
        if _KEY.match(item):
            # A mapping that starts on the dash's line, at the column after it.
            lines[pos] = (no, indent + len(text) - len(item), item)
            value, pos = _mapping(lines, pos, lines[pos][1])
            out.append(value)
        else:
            out.append(_scalar(item, no))
            pos += 1
    return out, pos


def parse_yaml(text):
    lines = []
    for no, raw in enumerate(text.split("\n"), 1):
        if "\t" in raw:
            raise YamlError(f"line {no}: a tab")
        stripped = raw.strip()
        if not stripped or stripped.startswith("#"):
            continue
        if stripped in ("---", "..."):
            raise YamlError(f"line {no}: more than one document")
        lines.append((no, len(raw) - len(raw.lstrip(" ")), stripped))
    if not lines:
        raise YamlError("empty")
    if lines[0][1] != 0:
        raise YamlError(f"line {lines[0][0]}: indented top level")
    value, pos = _mapping(lines, 0, 0)
    if pos != len(lines):
        raise YamlError(f"line {lines[pos][0]}: unexpected text")
    return value


def project_version():
    text = (ROOT / "CMakeLists.txt").read_text()
    m = re.search(r"project\(\s*Unwindle\s+VERSION\s+(\d+)(?:\.(\d+))?", text)
    if not m:
        sys.exit("check_release_manifests: no project(Unwindle VERSION ...) in CMakeLists.txt")
    # As CMakeLists.txt makes UNWINDLE_VERSION: major.minor, the minor 0 when not given.
    return f"{m.group(1)}.{m.group(2) or 0}"


def sha256(path):
    return hashlib.sha256(path.read_bytes()).hexdigest()


def check(dist, version):
    """The faults found, as lines."""
    faults = []

    def expect(what, got, want):
        if got != want:
            faults.append(f"{what}: {got!r}, expected {want!r}")

    setup = dist / f"Unwindle-{version}-setup.exe"
    portable = dist / f"Unwindle-{version}-portable.zip"
    for f in (setup, portable):
        if not f.is_file():
            faults.append(f"{f} is missing")
    if faults:
        return faults
    nsi = (ROOT / "packaging/unwindle.nsi").read_text()
    nsis = dict(re.findall(r'^!define\s+(\w+)\s+"([^"]*)"', nsi, re.M))

    # winget: the version, installer and default locale files of one package version.
    winget = dist / "winget"
    files = {
        "version": winget / f"{PACKAGE_ID}.yaml",
        "installer": winget / f"{PACKAGE_ID}.installer.yaml",
    }
    docs = {}
    for kind, path in files.items():
        if not path.is_file():
            faults.append(f"{path} is missing")
            continue
        try:
            docs[kind] = parse_yaml(path.read_text(encoding="utf-8"))
        except (YamlError, UnicodeDecodeError) as e:
            faults.append(f"{path.name}: not well formed: {e}")
    if "version" in docs:
        locale = docs["version"].get("DefaultLocale")
        files["defaultLocale"] = winget / f"{PACKAGE_ID}.locale.{locale}.yaml"
        path = files["defaultLocale"]
        if not path.is_file():
            faults.append(f"{path} (DefaultLocale {locale}) is missing")
        else:
            try:
                docs["defaultLocale"] = parse_yaml(path.read_text(encoding="utf-8"))
            except (YamlError, UnicodeDecodeError) as e:
                faults.append(f"{path.name}: not well formed: {e}")
            else:
                got = docs["defaultLocale"].get("PackageLocale")
                expect(f"{path.name} PackageLocale", got, locale)
    extra = sorted(p.name for p in winget.glob("*") if p not in files.values())
    if extra:
        faults.append(f"{winget} holds more than one package version's files: {extra}")
    schema = None
    for kind, doc in docs.items():
        name = files[kind].name
        expect(f"{name} PackageIdentifier", doc.get("PackageIdentifier"), PACKAGE_ID)
        expect(f"{name} PackageVersion", doc.get("PackageVersion"), version)
        expect(f"{name} ManifestType", doc.get("ManifestType"), kind)
        mv = doc.get("ManifestVersion")
        if not isinstance(mv, str) or not re.fullmatch(r"1\.\d+\.0", mv):
            faults.append(f"{name} ManifestVersion: {mv!r}")
        schema = schema or mv
        expect(f"{name} ManifestVersion (as the others')", mv, schema)
        header = files[kind].read_text(encoding="utf-8").split("\n", 1)[0]
        expect(
            f"{name} schema line",
            header,
            "# yaml-language-server: $schema="
            f"https://aka.ms/winget-manifest.{kind}.{mv}.schema.json",
        )
    inst = docs.get("installer", {})
    if inst:
        expect("installer InstallerType", inst.get("InstallerType"), "nullsoft")
        expect("installer Scope", inst.get("Scope"), "user")
        switches = inst.get("InstallerSwitches", {})
        # The NSIS setup runs silently with /S.
        expect("installer Silent switch", switches.get("Silent"), "/S")
        expect("installer SilentWithProgress switch", switches.get("SilentWithProgress"), "/S")
        installers = inst.get("Installers")
        if not isinstance(installers, list) or len(installers) != 1:
            faults.append(f"installer Installers: {installers!r}, expected one")
        else:
            one = installers[0]
            expect("installer Architecture", one.get("Architecture"), "x64")
            url = str(one.get("InstallerUrl"))
            if not re.fullmatch(r"https://[^/\s]+/\S*/" + re.escape(setup.name), url):
                faults.append(f"installer InstallerUrl {url!r} does not end with /{setup.name}")
            want = sha256(setup).upper()
            expect(f"installer InstallerSha256 of {setup.name}", one.get("InstallerSha256"), want)
        # What the setup writes in Apps & Features, which winget finds an installed copy by.
        key = nsis.get("UNINSTALL_KEY", "").rsplit("\\", 1)[-1]
        expect("installer ProductCode (the setup's uninstall key)", inst.get("ProductCode"), key)
        for entry in inst.get("AppsAndFeaturesEntries", []):
            arp = "AppsAndFeaturesEntries"
            expect(f"{arp} DisplayName", entry.get("DisplayName"), nsis.get("PRODUCT"))
            expect(f"{arp} Publisher", entry.get("Publisher"), nsis.get("PUBLISHER"))
            expect(f"{arp} DisplayVersion", entry.get("DisplayVersion"), version)
    loc = docs.get("defaultLocale", {})
    if loc:
        expect("locale Publisher", loc.get("Publisher"), nsis.get("PUBLISHER"))
        expect("locale PackageName", loc.get("PackageName"), nsis.get("PRODUCT"))
        if not loc.get("License"):
            faults.append("locale License is empty")
        short = loc.get("ShortDescription")
        if not isinstance(short, str) or not 3 <= len(short) <= 256 or "\n" in short:
            faults.append(f"locale ShortDescription is not one line: {short!r}")

    # Scoop: one JSON file for the portable zip.
    path = dist / "scoop" / "unwindle.json"
    try:
        scoop = json.loads(path.read_text(encoding="utf-8"))
    except FileNotFoundError:
        faults.append(f"{path} is missing")
        return faults
    except ValueError as e:
        faults.append(f"{path.name}: not well formed JSON: {e}")
        return faults
    if not isinstance(scoop, dict):
        faults.append(f"{path.name}: not an object")
        return faults
    expect("scoop version", scoop.get("version"), version)
    url = str(scoop.get("url"))
    if not re.fullmatch(r"https://[^/\s]+/\S*/" + re.escape(portable.name), url):
        faults.append(f"scoop url {url!r} does not end with /{portable.name}")
    expect(f"scoop hash of {portable.name}", scoop.get("hash"), sha256(portable))
    for key in ("description", "homepage", "license"):
        if not scoop.get(key):
            faults.append(f"scoop {key} is empty")
    auto = scoop.get("autoupdate", {}).get("url")
    if auto is not None:
        expect("scoop autoupdate url for this version", auto.replace("$version", version), url)
    with zipfile.ZipFile(portable) as z:
        held = set(z.namelist())
    shims = []
    bins = scoop.get("bin")
    if not isinstance(bins, list) or not bins:
        faults.append(f"scoop bin: {bins!r}")
        bins = []
    for entry in bins:
        target, *alias = [entry] if isinstance(entry, str) else entry
        if target not in held:
            faults.append(f"scoop bin {target!r} is not in {portable.name}")
        # Scoop names a shim after its alias, else its file without the extension.
        shims.append((alias[0] if alias else target.rsplit(".", 1)[0]).lower())
    if len(set(shims)) != len(shims):
        faults.append(f"scoop bin gives two shims one name: {shims}")
    if "unwindle.exe" not in [e if isinstance(e, str) else e[0] for e in bins]:
        faults.append("scoop bin lacks unwindle.exe")
    if "unwindle.com" not in [e if isinstance(e, str) else e[0] for e in bins]:
        faults.append("scoop bin lacks unwindle.com")
    for entry in scoop.get("shortcuts", []):
        if not isinstance(entry, list) or len(entry) < 2 or entry[0] not in held:
            faults.append(f"scoop shortcut {entry!r} names no file of {portable.name}")
    return faults


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("dist", type=Path)
    parser.add_argument("--version")
    args = parser.parse_args()
    version = args.version or project_version()
    faults = check(args.dist, version)
    for fault in faults:
        print(f"check_release_manifests: {fault}")
    if faults:
        return 1
    print(f"check_release_manifests: the winget and Scoop manifests of {version} match {args.dist}")
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Writes the package manifests for the two downloads of a release, from the files themselves.

    tools/release_manifests.py DIST --version VERSION

DIST holds Unwindle-VERSION-setup.exe and Unwindle-VERSION-portable.zip (packaging/CMakeLists.txt).
Beside them this writes
  DIST/winget/  the winget manifest set of the per-user installer (version, installer and default
                locale files, as a folder of manifests/k/KORVANTE/Unwindle/VERSION/ in winget-pkgs);
  DIST/scoop/unwindle.json  the Scoop manifest of the portable zip.
The hashes are those of the files in DIST; names come from the installer script
(packaging/unwindle.nsi), the web address from settings/product.h, the licence from LICENSE, so
nothing here repeats what those say. tools/check_release_manifests.py checks the result.
Standard library only.
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
LOCALE = "en-US"
# The manifest schema winget-pkgs asks submissions to conform to.
WINGET_SCHEMA = "1.12.0"
# NSIS installers take /S for a silent run (packaging/unwindle.nsi shows no page then).
NSIS_SILENT = "/S"
SHORT_DESCRIPTION = "A break reminder in the notification area that counts your work time down."
DESCRIPTION = (
    "Unwindle counts your work interval down in its window, the tray tooltip and an animated tray "
    "icon, and reminds you to take a break when the time is up: with a prompt, or a balloon and a "
    "flashing icon, each with a sound. It holds a due reminder during full-screen programs, calls "
    "and Do Not Disturb, keeps a history of your breaks, and takes commands from scripts with "
    "'unwindle /status', '/pause', '/break' and more."
)
TAGS = ["break-reminder", "breaks", "ergonomics", "health", "timer", "tray"]


def fail(message):
    print(f"release_manifests: {message}", file=sys.stderr)
    sys.exit(1)


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def nsis_defines(path):
    """The !define NAME "value" lines of the installer script."""
    return dict(re.findall(r'^!define\s+(\w+)\s+"([^"]*)"', path.read_text(), re.M))


def maker_url(path):
    found = re.search(r'kMakerUrl\s*=\s*"([^"]+)"', path.read_text())
    if not found:
        fail(f"no kMakerUrl in {path}")
    return found.group(1).rstrip("/")


def licence(path):
    """The licence's short name (its title without "License") and its copyright line."""
    lines = [line.strip() for line in path.read_text().splitlines() if line.strip()]
    name = re.sub(r"\s+Licen[cs]e$", "", lines[0]) if lines else ""
    copyright_line = next((line for line in lines if line.startswith("Copyright")), "")
    return name or "Proprietary", copyright_line


# --- YAML, the small part of it the manifests need --------------------------------------------

_PLAIN_UNSAFE_START = re.compile(r"""^[-?:,\[\]{}#&*!|>'"%@`\s]""")
# What YAML 1.1 or 1.2 readers would take for something other than a string.
_NOT_A_STRING = re.compile(
    r"^(?:[-+]?\d[\d_]*|[-+]?(?:\d[\d_]*)?\.\d[\d_]*(?:[eE][-+]?\d+)?"
    r"|[-+]?\d[\d_]*(?:\.[\d_]*)?[eE][-+]?\d+|\d+(?::[0-5]?\d)+(?:\.\d*)?|0x[0-9a-fA-F_]+"
    r"|0o[0-7]+|[-+]?\.(?:inf|Inf|INF)|\.(?:nan|NaN|NAN)|~|null|Null|NULL|true|True|TRUE|false"
    r"|False|FALSE|yes|Yes|YES|no|No|NO|on|On|ON|off|Off|OFF|y|Y|n|N)$"
)


def yaml_scalar(text):
    if isinstance(text, int):
        return str(text)
    plain = (
        text
        and not _PLAIN_UNSAFE_START.match(text)
        and ": " not in text
        and " #" not in text
        and not text.endswith((":", " "))
        and "\n" not in text
        and not _NOT_A_STRING.match(text)
    )
    # A JSON string is a YAML double-quoted scalar.
    return text if plain else json.dumps(text)


def yaml_lines(value, indent=0):
    pad = " " * indent
    out = []
    if isinstance(value, dict):
        for key, item in value.items():
            if isinstance(item, (dict, list)):
                out.append(f"{pad}{key}:")
                # Sequences sit at their key's indentation, as in winget-pkgs.
                out += yaml_lines(item, indent if isinstance(item, list) else indent + 2)
            else:
                out.append(f"{pad}{key}: {yaml_scalar(item)}")
    elif isinstance(value, list):
        for item in value:
            if isinstance(item, dict):
                inner = yaml_lines(item, indent + 2)
                out.append(f"{pad}- {inner[0][indent + 2:]}")
                out += inner[1:]
            else:
                out.append(f"{pad}- {yaml_scalar(item)}")
    return out


def write_yaml(path, manifest_type, body):
    header = [
        f"# yaml-language-server: $schema=https://aka.ms/winget-manifest.{manifest_type}."
        f"{WINGET_SCHEMA}.schema.json",
        "# Written by tools/release_manifests.py from the release files; do not edit.",
        "",
    ]
    body = dict(body, ManifestType=manifest_type, ManifestVersion=WINGET_SCHEMA)
    path.write_text("\n".join(header + yaml_lines(body)) + "\n", newline="\n")


# --- The manifests ------------------------------------------------------------------------------


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("dist", type=Path)
    parser.add_argument("--version", required=True)
    args = parser.parse_args()
    version = args.version
    dist = args.dist

    setup = dist / f"Unwindle-{version}-setup.exe"
    portable = dist / f"Unwindle-{version}-portable.zip"
    for f in (setup, portable):
        if not f.is_file():
            fail(f"{f} is missing")

    nsis = nsis_defines(ROOT / "packaging" / "unwindle.nsi")
    product, publisher = nsis.get("PRODUCT"), nsis.get("PUBLISHER")
    uninstall_key = nsis.get("UNINSTALL_KEY", "")
    if not product or not publisher or not uninstall_key:
        fail("packaging/unwindle.nsi defines no PRODUCT, PUBLISHER or UNINSTALL_KEY")
    # The uninstall key's name is what winget matches an installed copy by.
    product_code = uninstall_key.rsplit("\\", 1)[-1]
    home = maker_url(ROOT / "settings" / "product.h")
    site = re.match(r"^https?://[^/]+", home).group(0)
    releases = f"{home}/releases"
    licence_name, copyright_line = licence(ROOT / "LICENSE")

    with zipfile.ZipFile(portable) as z:
        names = set(z.namelist())
    gui, cli = "unwindle.exe", "unwindle.com"
    for name in (gui, cli):
        if name not in names:
            fail(f"{portable.name} holds no {name} at its top")

    winget = dist / "winget"
    winget.mkdir(exist_ok=True)
    ident = {"PackageIdentifier": PACKAGE_ID, "PackageVersion": version}
    write_yaml(winget / f"{PACKAGE_ID}.yaml", "version", dict(ident, DefaultLocale=LOCALE))
    write_yaml(
        winget / f"{PACKAGE_ID}.installer.yaml",
        "installer",
        dict(
            ident,
            InstallerType="nullsoft",
            Scope="user",
            InstallModes=["interactive", "silent", "silentWithProgress"],
            InstallerSwitches={"Silent": NSIS_SILENT, "SilentWithProgress": NSIS_SILENT},
            # The setup closes a running Unwindle, replaces it and starts it again.
            UpgradeBehavior="install",
            # It quits with 2, having changed nothing, when the running program cannot exit.
            ExpectedReturnCodes=[{"InstallerReturnCode": 2, "ReturnResponse": "packageInUse"}],
            ProductCode=product_code,
            AppsAndFeaturesEntries=[
                {
                    "DisplayName": product,
                    "Publisher": publisher,
                    "DisplayVersion": version,
                    "ProductCode": product_code,
                }
            ],
            InstallationMetadata={"DefaultInstallLocation": f"%LOCALAPPDATA%\\Programs\\{product}"},
            Installers=[
                {
                    "Architecture": "x64",
                    "InstallerUrl": f"{releases}/{setup.name}",
                    "InstallerSha256": sha256(setup).upper(),
                }
            ],
        ),
    )
    locale = dict(
        ident,
        PackageLocale=LOCALE,
        Publisher=publisher,
        PublisherUrl=site,
        PackageName=product,
        PackageUrl=home,
        License=licence_name,
    )
    if copyright_line:
        locale["Copyright"] = copyright_line
    locale.update(
        ShortDescription=SHORT_DESCRIPTION,
        Description=DESCRIPTION,
        Moniker=product.lower(),
        Tags=TAGS,
        ReleaseNotesUrl=releases,
    )
    write_yaml(winget / f"{PACKAGE_ID}.locale.{LOCALE}.yaml", "defaultLocale", locale)

    scoop = dist / "scoop"
    scoop.mkdir(exist_ok=True)
    zip_url = f"{releases}/{portable.name}"
    manifest = {
        "version": version,
        "description": SHORT_DESCRIPTION,
        "homepage": home,
        "license": licence_name,
        "url": zip_url,
        "hash": sha256(portable),
        # `unwindle` in a console is the command line, as in an installed copy; the program itself
        # gets a name of its own (Scoop names a shim after its file, and both files are unwindle).
        "bin": [[cli, "unwindle"], [gui, "unwindlew"]],
        "shortcuts": [[gui, product]],
        "checkver": {"url": releases, "regex": r"Unwindle-([\d.]+)-portable\.zip"},
        "autoupdate": {"url": f"{releases}/Unwindle-$version-portable.zip"},
    }
    (scoop / "unwindle.json").write_text(json.dumps(manifest, indent=4) + "\n", newline="\n")
    print(f"release_manifests: wrote {winget} and {scoop / 'unwindle.json'} for {version}")


if __name__ == "__main__":
    main()

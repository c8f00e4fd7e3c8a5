#!/usr/bin/env python3
"""The layer check fails, naming the file, on includes that run against the layers."""
import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import check_layers  # noqa: E402

# (file, its text, whether the check must name it)
CASES = [
    ("cycle/break_cycle.cpp", '#include "app/app.h"\n', True),
    ("settings/settings.cpp", '#include "backends/win32/settings_storage_win32.h"\n', True),
    ("platform/services.h", '#include "forms/form_view.h"\n', True),
    ("tray/tray_icon.cpp", "#include <windows.h>\n", True),
    ("backends/fake/fake_shell.cpp", '#include "backends/win32/wide_text.h"\n', True),
    ("backends/win32/sound_win32.cpp", '#include "app/app.h"\n', True),
    ("backends/win32/main.cpp", '#include "app/launch.h"\n#include <windows.h>\n', False),
    ("app/app.cpp", '#include "cycle/break_cycle.h"\n#include "forms/ui.h"\n#include <string>\n', False),
    ("cycle/time_up.cpp", '#include "tray/tray_icon.h"\n#include "platform/trace.h"\n', False),
    ("tests/any_test.cpp", '#include "app/app.h"\n#include "backends/win32/x.h"\n', False),
]


def main():
    failed = 0
    with tempfile.TemporaryDirectory() as root:
        subprocess.run(["git", "init", "-q", root], check=True)
        for name, text, _ in CASES:
            path = Path(root) / name
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_text(text)
        faults = check_layers.check(root)
        for name, _, named in CASES:
            found = any(f.startswith(name + ":") for f in faults)
            if found != named:
                print(f"FAIL {name}: {'not named' if named else 'named'}: {faults}")
                failed += 1
    print(f"{len(CASES) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

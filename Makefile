# Front door. `make run` and `make test` install what is missing (Debian 12),
# build, and run the program or every test; `make dist` puts the installer and
# the portable zip, with their winget and Scoop manifests, into dist/, and the .deb
# of the Linux program.
SHELL := /bin/bash
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

DEB_PACKAGES := cmake ninja-build g++ libgtest-dev clang-format zlib1g-dev \
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 nsis \
  wine wine64 xvfb xauth xdotool imagemagick procps python3 x11-xserver-utils gettext locales \
  qt6-base-dev pkg-config libxcb1-dev libxcb-screensaver0-dev libasound2-dev dbus-daemon dbus-bin \
  fonts-noto-cjk fonts-wqy-microhei
# The .deb of the Linux program: dpkg-shlibdeps computes its dependencies, desktop-file-validate
# checks its menu entry.
DEB_PACKAGES += dpkg-dev desktop-file-utils

NATIVE := build/native
WINDOWS := build/windows
LINUX_RELEASE := build/linux-release

.PHONY: deps native windows run run-windows test unit e2e bench dist format check-format check-layers pot clean

deps:
	@missing=$$(for p in $(DEB_PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing >/dev/null; \
	fi
	@# German for the end-to-end run with Wine's user interface in German.
	@locale -a 2>/dev/null | grep -qi '^de_DE.utf8$$' || $(SUDO) localedef -i de_DE -f UTF-8 de_DE.UTF-8

native: deps
	cmake --preset native >/dev/null
	cmake --build --preset native

windows: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows

# On Linux the native program (Qt) on your display, or on a private one with screenshots; the
# Windows build under Wine with `make run-windows`.
ifeq ($(shell uname -s),Linux)
run: native
	tools/run-native.sh $(NATIVE)
else
run: run-windows
endif

# The Linux program as the .deb carries it: optimised for size, stripped, no sanitizers; and
# the .deb itself ($(LINUX_RELEASE)/dist).
.PHONY: linux-release
linux-release: deps
	cmake --preset release-linux >/dev/null
	cmake --build --preset release-linux

run-windows: windows
	tools/run-under-wine.sh $(WINDOWS)

unit: native
	ctest --preset native

# The Linux suites run beside the Windows one, which spends most of its time waiting on Wine: each
# has its own display, buses and home, and their log follows the Windows one.
e2e: windows native
	@(tests/e2e/native.sh $(NATIVE) && tests/e2e/native_presence.sh $(NATIVE) && \
	  tests/e2e/native_tray.sh $(NATIVE)) >$(NATIVE)/e2e-native.log 2>&1 & linux=$$!; \
	tests/e2e/run.sh $(WINDOWS); windows=$$?; \
	wait $$linux; native=$$?; \
	echo "e2e: the Linux suites:"; cat $(NATIVE)/e2e-native.log; \
	[ $$windows = 0 ] && [ $$native = 0 ]
	# The break screen again, on a display of two monitors.
	E2E_ONLY=break_screen E2E_RELEASE_ONLY=none E2E_WIN32_TESTS=0 \
	  E2E_RESULTS=$(WINDOWS)/e2e-results-two-monitors \
	  tests/e2e/run.sh $(WINDOWS)
	# The program and the setup with Wine's user interface in German.
	LC_ALL=de_DE.UTF-8 E2E_ONLY=wine_german E2E_RELEASE_ONLY=installer_german E2E_WIN32_TESTS=0 \
	  E2E_RESULTS=$(WINDOWS)/e2e-results-german tests/e2e/run.sh $(WINDOWS)

test: check-format check-layers unit e2e

# The Windows build under Wine, then the Linux release build, and a table of both.
bench: windows linux-release
	bench/run.sh $(WINDOWS)
	bench/run-linux.sh $(LINUX_RELEASE) $(WINDOWS)

# The Windows build makes both and their winget and Scoop manifests (packaging/CMakeLists.txt);
# this hands them over and checks the manifests against the files once more; beside them the .deb
# of the Linux program (packaging/linux), checked unpacked by tools/check_deb.sh.
dist: windows linux-release
	rm -rf dist
	cp -r $(WINDOWS)/dist dist
	python3 tools/check_release_manifests.py dist
	cp $(LINUX_RELEASE)/dist/unwindle_*.deb dist/
	tools/check_deb.sh dist/unwindle_*.deb
	@ls -lR dist

# The template of the texts to translate into po/, merged into every catalogue.
pot: native
	cmake --build --preset native --target unwindle_pot

FORMATTED = $(shell git ls-files --cached --others --exclude-standard '*.cpp' '*.h')

format:
	clang-format -i $(FORMATTED)

check-format: deps
	@clang-format --dry-run --Werror $(FORMATTED) && echo "format: clean"

# Every include runs down the layers of docs/ARCHITECTURE.md; names each one that does not.
check-layers: deps
	@python3 tools/check_layers.py

clean:
	rm -rf build dist

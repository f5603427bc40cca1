# Plemby! — set-up, build, run and test. Every target installs what is missing first.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

RUN_PACKAGES := g++ make cmake pkg-config libsdl2-dev libsdl2-image-dev
TEST_PACKAGES := $(RUN_PACKAGES) googletest libgtest-dev libgmock-dev clang libclang-rt-14-dev \
  xvfb xdotool openbox x11-utils imagemagick
CHECK_PACKAGES := $(RUN_PACKAGES) googletest libgtest-dev libgmock-dev
BENCH_PACKAGES := $(RUN_PACKAGES) libbenchmark-dev libxmp-dev
ASSET_PACKAGES := $(RUN_PACKAGES) libfreetype-dev fonts-dejavu-core
# The score server (plemby-scores) and its tests: a real PostgreSQL, curl and openssl for HTTPS,
# and Chromium for its page.
SERVER_PACKAGES := $(RUN_PACKAGES) libcpp-httplib-dev nlohmann-json3-dev libsqlite3-dev libpq-dev \
  libsodium-dev libssl-dev
SERVER_TEST_PACKAGES := $(SERVER_PACKAGES) postgresql curl openssl chromium
TEST_PACKAGES += $(SERVER_TEST_PACKAGES)

# The install test checks the menu entry, the metainfo and the manual pages with these.
TEST_PACKAGES += desktop-file-utils appstream groff-base
# The Debian package's build (its Build-Depends and dpkg-buildpackage), and its checks.
PACKAGE_PACKAGES := $(RUN_PACKAGES) build-essential dpkg-dev debhelper git
PACKAGE_CHECK_PACKAGES := $(PACKAGE_PACKAGES) lintian blhc
SCREENSHOT_PACKAGES := $(RUN_PACKAGES) xvfb xdotool imagemagick x11-utils
# The Windows build: Debian's mingw-w64 (posix threads); SDL comes from third_party/. Its tests
# build GoogleTest from Debian's sources and run under wine, the road test in a virtual display.
WINDOWS_PACKAGES := make cmake g++-mingw-w64-x86-64-posix
WINDOWS_PACKAGE_PACKAGES := $(WINDOWS_PACKAGES) nsis git
WINDOWS_TEST_PACKAGES := $(WINDOWS_PACKAGE_PACKAGES) googletest wine wine64 xvfb xdotool openbox \
  x11-utils imagemagick
TEST_PACKAGES += $(WINDOWS_TEST_PACKAGES)

# The browser build: Debian's emscripten builds the game and SDL (from third_party/); the road
# test drives Debian's Chromium. npm, for the test's driver, is installed only when no npm is on
# the PATH (a Node.js from elsewhere brings its own).
WEB_PACKAGES := make cmake emscripten
WEB_TEST_PACKAGES := $(WEB_PACKAGES) chromium xvfb xdotool imagemagick x11-utils
WEB_PORT ?= 8080

.PHONY: all run build test check deps-run deps-check deps-test deps-bench deps-assets bench fuzz assets clean \
	install uninstall package package-check screenshots deps-package deps-package-check \
	deps-screenshots bench-screens server deps-server serve-scores windows deps-windows windows-test deps-windows-test \
	windows-package deps-windows-package web serve-web deps-web deps-web-test test-web bench-web

all: build

define install_missing
	@missing=""; for p in $(1); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi
endef

deps-run:
	$(call install_missing,$(RUN_PACKAGES))

deps-check:
	$(call install_missing,$(CHECK_PACKAGES))

deps-test:
	$(call install_missing,$(TEST_PACKAGES))

deps-server:
	$(call install_missing,$(SERVER_PACKAGES))

deps-bench:
	$(call install_missing,$(BENCH_PACKAGES))

deps-assets:
	$(call install_missing,$(ASSET_PACKAGES))

deps-package:
	$(call install_missing,$(PACKAGE_PACKAGES))

deps-package-check:
	$(call install_missing,$(PACKAGE_CHECK_PACKAGES))

deps-screenshots:
	$(call install_missing,$(SCREENSHOT_PACKAGES))

deps-windows:
	$(call install_missing,$(WINDOWS_PACKAGES))

deps-windows-package:
	$(call install_missing,$(WINDOWS_PACKAGE_PACKAGES))

deps-windows-test:
	$(call install_missing,$(WINDOWS_TEST_PACKAGES))

deps-web:
	$(call install_missing,$(WEB_PACKAGES))

deps-web-test:
	$(call install_missing,$(WEB_TEST_PACKAGES))
	@command -v npm >/dev/null || { echo "Installing: npm"; $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq npm; }

# The game and its tools, optimised, in build/. Warnings are errors in the test build; here a
# newer or older compiler's opinion must never stop a player from building the game.
build: deps-run
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DPLEMBY_TESTS=OFF -DPLEMBY_WERROR=OFF
	cmake --build build -j $(JOBS)

run: build
	./build/plemby

# The score server, optimised: build-server/plemby-scores.
server: deps-server
	cmake -S . -B build-server -DCMAKE_BUILD_TYPE=Release -DPLEMBY_TESTS=OFF -DPLEMBY_WERROR=OFF \
	  -DPLEMBY_SERVER=ON
	cmake --build build-server -j $(JOBS) --target plemby-scores

# The score server on this machine only, with a fresh data folder (SQLite) in build-server/.
SCORES_PORT ?= 8475
serve-scores: server
	rm -rf build-server/scores-data
	@echo "Plemby! scores: http://127.0.0.1:$(SCORES_PORT)/ (Ctrl+C stops the server)"
	./build-server/plemby-scores --listen 127.0.0.1:$(SCORES_PORT) --data build-server/scores-data

# The game for 64-bit Windows, cross-built: build-windows/plemby.exe (windowed), plemby.com
# (its console twin) and xmrender.exe, linked statically. The first configure builds SDL2 and
# SDL2_image from third_party/ (cmake/SdlFromSource.cmake).
WINDOWS_CONFIGURE := -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DPLEMBY_SDL_FROM_SOURCE=ON -DPLEMBY_SDL_DIR=$(CURDIR)/build-sdl-windows \
  -DPLEMBY_ASSETGEN=OFF
windows: deps-windows
	cmake -S . -B build-windows $(WINDOWS_CONFIGURE) -DPLEMBY_TESTS=OFF -DPLEMBY_WERROR=OFF
	cmake --build build-windows -j $(JOBS)

# Every test, headless, under AddressSanitizer and UndefinedBehaviorSanitizer; the music
# thread's tests again under ThreadSanitizer; then the Windows build's tests under wine and the
# browser build's road test in headless Chromium.
SANITIZED_TEST_RUN := SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy \
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --output-on-failure -j $(JOBS)
test: deps-test
	cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DPLEMBY_SANITIZE=asan
	cmake --build build-test -j $(JOBS)
	cd build-test && $(SANITIZED_TEST_RUN)
	@if [ -n "$$(find tests -name '*_thread_test.cpp' -print -quit)" ]; then \
	  cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DPLEMBY_SANITIZE=tsan && \
	  cmake --build build-tsan -j $(JOBS) --target plemby_tests \
	    $$(cmake --build build-tsan --target help | grep -o 'plemby_server_tests' | head -n 1) && \
	  cd build-tsan && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy \
	    TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -j $(JOBS); \
	fi
	$(MAKE) --no-print-directory windows-test
	$(MAKE) --no-print-directory test-web

# The quick loop while working: the game's unit suite alone (the tests labelled unit), in the
# same sanitizer build as `make test`, without the road tests of the real game (a display, wine,
# Chromium), the fuzz corpora, the install check and the score server's services.
check: deps-check
	cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DPLEMBY_SANITIZE=asan
	cmake --build build-test -j $(JOBS) --target plemby_tests
	cd build-test && $(SANITIZED_TEST_RUN) -L '^unit$$'

# The Windows build with its unit suite, run under wine in one process, then the road test of
# the real game under wine in a virtual display.
windows-test: deps-windows-test
	cmake -S . -B build-windows-test $(WINDOWS_CONFIGURE) -DPLEMBY_TESTS=ON -DPLEMBY_WERROR=ON
	cmake --build build-windows-test -j $(JOBS)
	tests/windows/unit_suite.sh build-windows-test
	tests/display/real_display_test.sh build-windows-test windows build-test/plemby
	tools/windows_package.sh . build-windows-test build-windows-test/package
	tests/windows/package_test.sh build-windows-test build-windows-test/package

# What a Windows player downloads: build-windows-package/plemby-VERSION-windows-x64.zip and the
# installer plemby-VERSION-setup.exe (NSIS).
windows-package: deps-windows-package windows
	tools/windows_package.sh . build-windows build-windows-package

# The page in build-web/ (index.html, plemby.js, plemby.wasm, icon.png): the game built with
# emscripten, SDL2 and SDL2_image from the tarballs in third_party/. Emscripten's tools look
# for Debian's JavaScript modules where only Debian's own Node.js looks by itself.
export NODE_PATH := $(NODE_PATH)$(if $(NODE_PATH),:)/usr/share/nodejs
web: deps-web
	emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DPLEMBY_TESTS=OFF \
	  -DPLEMBY_SDL_FROM_SOURCE=ON -DPLEMBY_WERROR=OFF
	cmake --build build-web -j $(JOBS)

# The page in headless Chromium: the time to the title's first picture and the CPU share of
# Chromium's processes on a still screen and in play, 20 s each.
bench-web: test-web
	node bench/web_cpu.mjs build-web build-webtest/node_modules

# Serves the page on this machine only: open http://127.0.0.1:$(WEB_PORT)/ in a browser.
serve-web: web
	@echo "Plemby! in a browser: http://127.0.0.1:$(WEB_PORT)/ (Ctrl+C stops the server)"
	cd build-web && python3 -m http.server $(WEB_PORT) --bind 127.0.0.1

# The browser road test (tests/web/): the page in headless Chromium, driven by puppeteer-core
# as pinned by tests/web/package-lock.json; it uses the desktop test build's game and music
# check (make test builds them first, then runs this).
test-web: deps-web-test web
	cmake --build build-web -j $(JOBS) --target musiccheck
	mkdir -p build-webtest && cp tests/web/package.json tests/web/package-lock.json build-webtest/
	cd build-webtest && npm ci --no-audit --no-fund --loglevel=error
	node tests/web/road_test.mjs --web build-web --modules build-webtest/node_modules \
	  --desktop build-test --pictures docs/screenshots --out build-webtest/out

# The benchmarks, then xmrender's whole-process time on a real song beside a libxmp program's.
XM_DIR ?= $(or $(PLEMBY_XM_DIR),../shared/xm)
bench: deps-bench
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DPLEMBY_TESTS=OFF -DPLEMBY_BENCH=ON
	cmake --build build-bench -j $(JOBS) --target plemby_bench xmrender libxmp_wav
	./build-bench/plemby_bench
	@song=$$(ls $(XM_DIR)/songs/*.xm 2>/dev/null | head -n 1); \
	if [ -n "$$song" ]; then bench/xmrender_time.sh build-bench "$$song" 300 5; \
	else echo "no songs in $(XM_DIR)/songs: xmrender's whole-process time not measured"; fi

# The real game in a virtual display without a GPU: its CPU share, resident memory and threads
# on each screen and its start-up time, with its own choice of renderer and with the software one.
bench-screens: deps-screenshots build
	bench/screen_cpu.sh build/plemby

# libFuzzer targets (clang), each run for FUZZ_SECONDS on a copy of its corpus. Optimised, as
# the speed of a target is the number of inputs it tries.
FUZZ_SECONDS ?= 60
fuzz: deps-test
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLEMBY_SANITIZE=asan \
	  -DPLEMBY_TESTS=OFF -DPLEMBY_FUZZ=ON
	cmake --build build-fuzz -j $(JOBS)
	for t in build-fuzz/*_fuzz; do \
	  name=$$(basename $$t _fuzz); mkdir -p build-fuzz/corpus-$$name; \
	  cp -n fuzz/corpus/$$name/* build-fuzz/corpus-$$name/ 2>/dev/null || true; \
	  $$t -max_total_time=$(FUZZ_SECONDS) -max_len=65536 build-fuzz/corpus-$$name || exit 1; \
	done

# Regenerates the pictures, sounds and songs under resources/ from code.
assets: deps-assets
	$(MAKE) build
	./build/assetgen resources data

# The game, xmrender, the menu entry, icons, metainfo and manual pages under $(DESTDIR)$(PREFIX).
PREFIX ?= /usr/local
install: build
	DESTDIR="$(DESTDIR)" cmake --install build --prefix "$(PREFIX)"
	$(refresh_desktop_caches)

# Removes exactly the files that `make install` with the same DESTDIR and PREFIX puts down:
# they are listed by installing into a scratch folder first.
uninstall: build
	@stage=$$(mktemp -d) && trap 'rm -rf "$$stage"' EXIT && \
	DESTDIR="$$stage" cmake --install build --prefix "$(PREFIX)" >/dev/null && \
	cd "$$stage" && find . ! -type d | sed 's|^\./||' | while read -r f; do \
	  if [ -e "$(DESTDIR)/$$f" ] || [ -L "$(DESTDIR)/$$f" ]; then \
	    rm -f "$(DESTDIR)/$$f" && echo "-- Removed: $(DESTDIR)/$$f"; fi; \
	done
	$(refresh_desktop_caches)

# A live install (no DESTDIR) tells the desktop about the new entry and icons.
define refresh_desktop_caches
	@if [ -z "$(DESTDIR)" ]; then \
	  command -v gtk-update-icon-cache >/dev/null && \
	    gtk-update-icon-cache -q -t -f "$(PREFIX)/share/icons/hicolor" 2>/dev/null; \
	  command -v update-desktop-database >/dev/null && \
	    update-desktop-database -q "$(PREFIX)/share/applications" 2>/dev/null; \
	  true; \
	fi
endef

# The Debian package (debian/) of the same files under /usr, built by dpkg-buildpackage from a
# copy of the source tree in build-package/.
package: deps-package
	tools/package.sh . build-package

# Builds the package twice, in different folders, at different times and under different
# umasks, and checks that the two are byte for byte the same, that lintian finds nothing to
# say and that blhc finds every hardening flag in the build log.
package-check: deps-package-check
	tools/package_check.sh . build-package-check

# Pictures of the real game, driven in a virtual display, into docs/screenshots/.
screenshots: deps-screenshots build
	tools/screenshots.sh build/plemby docs/screenshots

clean:
	rm -rf build build-test build-tsan build-server build-bench build-fuzz build-package build-package-check \
	  build-windows build-windows-test build-sdl-windows build-windows-package \
	  build-web build-webtest

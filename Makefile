# Set-up and everyday commands. Every target installs what is missing first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= 2
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
# ccache shares objects between clones and build folders of this tree.
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1

DEB_PACKAGES := qt6-base-dev libre2-dev cmake ninja-build g++ pkg-config \
                libgtest-dev libgmock-dev libpsl-dev publicsuffix libbenchmark-dev fonts-wqy-zenhei \
                dpkg-dev file desktop-file-utils openssl \
                fonts-arphic-uming ccache qt6-translations-l10n zlib1g-dev libsqlite3-dev \
                chromium
SCREENSHOT_PACKAGES := xvfb xauth imagemagick
FUZZ_PACKAGES := clang libclang-rt-14-dev
# The Windows build (mingw-w64, host tools of the same Qt), its run under Wine, its packages.
WIN_BUILD ?= build-win
WINDOWS_PACKAGES := g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix qt6-base-dev-tools \
                    cmake ninja-build pkg-config python3 openssl
WINE_PACKAGES := wine wine64 xvfb xauth
WINPACK_PACKAGES := nsis zip unzip
LINT_PACKAGES := lintian

# Installs Debian packages only when some are missing; apt-get update only then.
define install_missing
	@missing=""; for p in $(1); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "installing:$$missing"; \
	  SUDO=""; [ "$$(id -u)" = 0 ] || SUDO=sudo; \
	  $$SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq $$missing; \
	fi
endef

.PHONY: deps build run test package install package-check bench demo demo-gui screenshot assets test-asan fuzz fuzz-ci clean \
        windows windows-test windows-package windows-screenshot

deps:
	$(call install_missing,$(DEB_PACKAGES))

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# A Debian package (CPack): the program, desktop entry, icons and manual page;
# its dependencies come from the binary (dpkg-shlibdeps).
package: build
	cd $(BUILD) && cpack -G DEB

# The same files under PREFIX (default /usr/local); DESTDIR works as usual.
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# Unpacks the package into a temporary folder and runs what it holds (CI does this).
package-check: package
	$(call install_missing,$(LINT_PACKAGES))
	bash packaging/check_package.sh $(BUILD)

run: build
	./$(BUILD)/friendlinks

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) --timeout 120

bench: build
	./$(BUILD)/bench/parsing_bench
	./$(BUILD)/bench/check_bench
	./$(BUILD)/bench/history_bench
	./$(BUILD)/bench/batch_bench
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/bench/load_bench
	./$(BUILD)/bench/hostile_memory_bench
	$(call install_missing,$(SCREENSHOT_PACKAGES))
	xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" ./$(BUILD)/bench/startup_bench ./$(BUILD)/friendlinks

demo: build
	@bash demo/run.sh $(BUILD) cli

demo-gui: build
	@bash demo/run.sh $(BUILD) gui

screenshot: build
	$(call install_missing,$(SCREENSHOT_PACKAGES))
	@bash demo/screenshot.sh $(BUILD)
	@bash demo/screenshot.sh $(BUILD) docs/screenshot-facts.png 1010x400 facts
	@bash demo/screenshot.sh $(BUILD) docs/screenshot-large.png 1100x520
	@bash demo/screenshot.sh $(BUILD) docs/screenshot-minimum.png 400x200
	@bash demo/screenshot.sh $(BUILD) docs/screenshot-sites.png "" sites
	@bash demo/screenshot.sh $(BUILD) docs/screenshot-settings.png "" settings
	@SITE=www.nonexist.com bash demo/screenshot.sh $(BUILD) docs/screenshot-unreachable.png
	@FRIENDLINKS_STOP_AFTER=3 bash demo/screenshot.sh $(BUILD) docs/screenshot-stopped.png
	@FRIENDLINKS_PROBLEMS_ONLY=1 bash demo/screenshot.sh $(BUILD) docs/screenshot-filter.png
	@BAIDU_BLOCK_FROM=4 bash demo/screenshot.sh $(BUILD) docs/screenshot-baidu-blocked.png
	@bash demo/history.sh $(BUILD) docs/screenshot-changes.png docs/screenshot-history.png 0

# Redraws the pictures in assets/ (commit the PNG files it writes).
assets: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target make_assets
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/assets/make_assets assets

# The whole suite with AddressSanitizer and UndefinedBehaviorSanitizer in its own folder.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFRIENDLINKS_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS) --timeout 300

# libFuzzer targets (clang) in build-fuzz: each runs FUZZ_SECONDS (60) from the seed corpus.
fuzz: deps
	$(call install_missing,$(FUZZ_PACKAGES))
	@JOBS=$(JOBS) bash tests/fuzz/run.sh $(or $(FUZZ_SECONDS),60)

# The short run CI does: 15 s each.
fuzz-ci: deps
	$(call install_missing,$(FUZZ_PACKAGES))
	@JOBS=$(JOBS) bash tests/fuzz/run.sh 15

# Windows (64-bit), cross-built here: the prefix comes from WIN_PREFIX=DIR, else
# ../shared/toolchains/mingw-qt-6.4.2, else it is built into ~/.cache/friendlinks.
windows: deps
	$(call install_missing,$(WINDOWS_PACKAGES))
	@JOBS=$(JOBS) WIN_BUILD=$(WIN_BUILD) bash packaging/windows/build.sh

# Under Wine: the suites, the command line against the Linux fakeweb, the window, the installer.
windows-test: build windows-package
	$(call install_missing,$(WINE_PACKAGES))
	@BUILD=$(BUILD) WIN_BUILD=$(WIN_BUILD) bash tests/windows/run.sh

# The window under Wine on the demo world, as docs/screenshot-windows.png.
windows-screenshot: build windows
	$(call install_missing,$(WINE_PACKAGES))
	@BUILD=$(BUILD) WIN_BUILD=$(WIN_BUILD) bash packaging/windows/screenshot.sh docs/screenshot-windows.png

# The portable zip and the installer, in $(WIN_BUILD).
windows-package: windows
	$(call install_missing,$(WINPACK_PACKAGES))
	@WIN_BUILD=$(WIN_BUILD) bash packaging/windows/package.sh

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-fuzz $(WIN_BUILD)

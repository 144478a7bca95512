# Two commands do everything on a fresh Debian machine: `make run` and `make test`.
JOBS       ?= 2
BUILD      ?= build
TEST_BUILD ?= build-asan

.PHONY: all deps configure build run test bench fuzz format clean package windows test-windows \
        windows-installer

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

# The desktop program with a simulated radio already on its cable: ql40-radiosim serves a
# pseudo-terminal, linked as build/run/radio, and the run-local QL40Win.ini points COM1 at it.
# The radio holds a dealer's codeplug (apps/ql40-radiosim/demo-radio.json: five groups, 46
# channels). Closing the program stops the simulator.
DEMO_RADIO := $(CURDIR)/apps/ql40-radiosim/demo-radio.json
RUN_DIR := $(abspath $(BUILD))/run
run: configure
	@cmake --build $(BUILD) -j$(JOBS) --target ql40win ql40-radiosim
	@mkdir -p $(RUN_DIR)
	@cd $(RUN_DIR) && rm -f radio && \
	  ../bin/ql40-radiosim --pace --file $(DEMO_RADIO) --link $(RUN_DIR)/radio > radiosim.log 2>&1 & sim=$$!; \
	  trap 'kill $$sim 2>/dev/null; wait $$sim 2>/dev/null' EXIT INT TERM; \
	  for i in $$(seq 50); do [ -e $(RUN_DIR)/radio ] && break; sleep 0.1; done; \
	  [ -e $(RUN_DIR)/radio ] || { echo "make run: the simulated radio did not start; see $(RUN_DIR)/radiosim.log"; exit 1; }; \
	  [ -f $(RUN_DIR)/QL40Win.ini ] || printf '[Initialize]\r\nCOM_PORT=1\r\n\r\n[PORTS]\r\nCOM1=%s\r\n' '$(RUN_DIR)/radio' > $(RUN_DIR)/QL40Win.ini; \
	  echo "ql40win: simulated radio on COM1 ($(RUN_DIR)/radio); Radio > Upload reads it"; \
	  cd $(RUN_DIR) && ../bin/ql40win

# Everything under AddressSanitizer and UndefinedBehaviorSanitizer, warnings as errors.
test: deps
	@cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQL40_SANITIZE=ON -DQL40_WERROR=ON >/dev/null
	@cmake --build $(TEST_BUILD) -j$(JOBS)
	@cd $(TEST_BUILD) && ctest --output-on-failure -j$(JOBS)
	@if $(WIN_TOOLS_PRESENT); then $(MAKE) --no-print-directory test-windows; \
	  else echo "make test: mingw-w64 or Wine missing, Windows tests skipped"; fi

# The Debian package, from a release build of its own with Debian's hardening flags, checked by
# lintian: $(PACKAGE_BUILD)/package/ql40win_<version>_amd64.deb.
PACKAGE_BUILD ?= build-package
package: deps
	@DEB_BUILD_MAINT_OPTIONS=hardening=+all cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=Release \
	  -DQL40_BUILD_TESTS=OFF -DQL40_BUILD_BENCH=OFF \
	  -DCMAKE_CXX_FLAGS="$$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CXXFLAGS) $$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CPPFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get LDFLAGS)" >/dev/null
	@cmake --build $(PACKAGE_BUILD) -j$(JOBS)
	@rm -f $(PACKAGE_BUILD)/package/ql40win_*.deb
	@cd $(PACKAGE_BUILD) && cpack >cpack.log 2>&1 || { cat cpack.log; exit 1; }
	@lintian --fail-on error $(PACKAGE_BUILD)/package/ql40win_*_amd64.deb
	@ls $(PACKAGE_BUILD)/package/ql40win_*_amd64.deb

bench: configure
	@cmake --build $(BUILD) -j$(JOBS) --target bench_codeplug bench_link bench_exchange bench_fleet
	@if grep -q '^Qt6Widgets_DIR:PATH=/' $(BUILD)/CMakeCache.txt; then \
	  cmake --build $(BUILD) -j$(JOBS) --target bench_startup bench_preview bench_grid bench_recovery ql40win; fi
	@for b in $(BUILD)/bin/bench_*; do echo "== $$b"; $$b; done

# Every fuzz target for FUZZ_SECONDS each, two at a time (one per core), with its dictionary;
# what they find is merged into the minimised corpora in tests/fuzz/<target>/ and the figures
# (executions, exec/s, coverage, corpus size, findings) are printed per target. Findings land in
# $(FUZZ_BUILD)/findings/<target>/.
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 120
FUZZ_TARGETS ?= fuzz_q40_reader fuzz_q40_json fuzz_q40_csv fuzz_q40_grid fuzz_json_import \
                fuzz_csv_import fuzz_chirp_import fuzz_clone_replies fuzz_alignment_replies \
                fuzz_ini_reader
fuzz:
	@CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DQL40_FUZZ=ON -DQL40_BUILD_TESTS=OFF -DQL40_BUILD_BENCH=OFF -DQL40_WITH_QT=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j$(JOBS) --target $(FUZZ_TARGETS)
	@scripts/fuzz-run $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# Windows: ql40.exe and the core test suites cross-built with mingw-w64 (Release, no
# sanitizers), run under Wine in a prefix kept in the build folder; the NSIS installer; and
# ql40.exe against the simulated radio on COM1, compared with the Linux ql40 of $(TEST_BUILD).
# QT_WINDOWS_PREFIX=<a Windows Qt 6.4 for mingw> also builds ql40win.exe into the installer.
WIN_BUILD          ?= build-windows
WIN_TOOLCHAIN      := cmake/mingw-w64-x86_64.cmake
QT_WINDOWS_PREFIX  ?=
WIN_TOOLS_PRESENT  := command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 && \
                      { command -v wine64 >/dev/null 2>&1 || [ -x /usr/lib/wine/wine64 ]; }
WIN_QT_FLAGS       := $(if $(QT_WINDOWS_PREFIX),-DQL40_WITH_QT=ON \
                      -DCMAKE_PREFIX_PATH=$(abspath $(QT_WINDOWS_PREFIX)) \
                      -DQT_WINDOWS_PREFIX=$(abspath $(QT_WINDOWS_PREFIX)) -DQT_HOST_PATH=/usr, \
                      -DQL40_WITH_QT=OFF)

windows: deps
	@cmake -S . -B $(WIN_BUILD) -DCMAKE_TOOLCHAIN_FILE=$(abspath $(WIN_TOOLCHAIN)) \
	  -DCMAKE_BUILD_TYPE=Release -DQL40_WERROR=ON -DQL40_BUILD_BENCH=OFF $(WIN_QT_FLAGS) >/dev/null
	@cmake --build $(WIN_BUILD) -j$(JOBS)

windows-installer: windows
	@cmake --build $(WIN_BUILD) --target windows-installer

test-windows: windows-installer
	@[ -f $(TEST_BUILD)/CMakeCache.txt ] || cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug \
	  -DQL40_SANITIZE=ON -DQL40_WERROR=ON >/dev/null
	@cmake --build $(TEST_BUILD) -j$(JOBS) --target ql40 ql40-radiosim
	@scripts/test-windows $(WIN_BUILD) $(TEST_BUILD) \
	  $(WIN_BUILD)/QL40Win-$$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' $(WIN_BUILD)/CMakeCache.txt)-setup.exe

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD) $(TEST_BUILD) $(PACKAGE_BUILD) $(WIN_BUILD)

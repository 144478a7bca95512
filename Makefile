# Two commands do everything on a fresh Debian machine: `make run` and `make test`.
JOBS       ?= 2
BUILD      ?= build
TEST_BUILD ?= build-asan

.PHONY: all deps configure build run test bench fuzz format clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

# Until the desktop program exists: build the default codeplug and list its channels.
run: configure
	@cmake --build $(BUILD) -j$(JOBS) --target ql40 ql40-radiosim
	@$(BUILD)/bin/ql40 new -o $(BUILD)/default.q40
	@$(BUILD)/bin/ql40 info $(BUILD)/default.q40
	@$(BUILD)/bin/ql40 channels $(BUILD)/default.q40

# Everything under AddressSanitizer and UndefinedBehaviorSanitizer, warnings as errors.
test: deps
	@cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQL40_SANITIZE=ON -DQL40_WERROR=ON >/dev/null
	@cmake --build $(TEST_BUILD) -j$(JOBS)
	@cd $(TEST_BUILD) && ctest --output-on-failure -j$(JOBS)

bench: configure
	@cmake --build $(BUILD) -j$(JOBS) --target bench_codeplug bench_link
	@for b in $(BUILD)/bin/bench_*; do echo "== $$b"; $$b; done

# Every fuzz target for FUZZ_SECONDS each, growing its corpus in tests/fuzz/<target>/.
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 120
FUZZ_TARGETS := fuzz_q40_reader fuzz_json_import fuzz_csv_import fuzz_clone_replies fuzz_alignment_replies
fuzz:
	@CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DQL40_FUZZ=ON -DQL40_BUILD_TESTS=OFF -DQL40_BUILD_BENCH=OFF -DQL40_WITH_QT=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j$(JOBS) --target $(FUZZ_TARGETS)
	@for t in $(FUZZ_TARGETS); do echo "== $$t"; mkdir -p tests/fuzz/$$t; \
	  $(FUZZ_BUILD)/bin/$$t -max_total_time=$(FUZZ_SECONDS) -max_len=20000 -timeout=10 \
	    -print_final_stats=1 tests/fuzz/$$t || exit 1; done

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD) $(TEST_BUILD)

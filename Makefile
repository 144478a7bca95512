# Two commands do everything on a fresh Debian machine: `make run` and `make test`.
JOBS       ?= 2
BUILD      ?= build
TEST_BUILD ?= build-asan

.PHONY: all deps configure build run test bench format clean

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

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD) $(TEST_BUILD)

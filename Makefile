# The commands a newcomer types. Each installs what it needs first (scripts/install-deps).
BUILD ?= build
CMAKE_FLAGS ?=

.PHONY: all deps configure build test bench run clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD)

test: build
	ctest --test-dir $(BUILD) --output-on-failure --no-tests=error -j2

bench: build
	$(BUILD)/spanlab-bench --benchmark_counters_tabular=true

run: build
	$(BUILD)/spanlab-cli results examples/two-span-floor-beam.txt

clean:
	rm -rf $(BUILD)

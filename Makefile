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
	@for b in $(BUILD)/spanlab-*bench; do echo "== $$b"; $$b --benchmark_counters_tabular=true || exit 1; done

run: build
	$(BUILD)/spanlab-cli check examples/two-span-floor-beam.spn
	$(BUILD)/spanlab-cli report examples/two-span-floor-beam.spn

clean:
	rm -rf $(BUILD)

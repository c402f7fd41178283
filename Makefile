# The commands a newcomer types. Each installs what it needs first (scripts/install-deps).
BUILD ?= build
CMAKE_FLAGS ?=

.PHONY: all deps configure build test sanitize bench fuzz run package clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD)

ASAN_BUILD ?= build-asan
# Leaks inside the Qt libraries are not ours to fix; everything else fails the test.
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
                LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
                UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

test: build
	ctest --test-dir $(BUILD) --output-on-failure --no-tests=error -j2
	@$(MAKE) --no-print-directory sanitize

# The whole test suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	@[ -f $(ASAN_BUILD)/build.ninja ] || cmake -S . -B $(ASAN_BUILD) -G Ninja \
	  -DSPANLAB_SANITIZE=ON -DSPANLAB_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(ASAN_BUILD)
	$(SANITIZER_ENV) ctest --test-dir $(ASAN_BUILD) --output-on-failure --no-tests=error -j2

# (The benchmarks are switched on here, whatever the build directory was configured with.)
bench: configure
	cmake -S . -B $(BUILD) -DSPANLAB_BUILD_BENCH=ON
	cmake --build $(BUILD)
	@for b in $(BUILD)/spanlab-*bench; do echo "== $$b"; $$b --benchmark_counters_tabular=true || exit 1; done

EXAMPLE ?= examples/two-span-floor-beam.spn

# The window on an example model; on a machine without a display, the same model through the
# command line: its run log and report in the terminal and its picture in a PNG.
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD)/spanlab $(EXAMPLE); \
	else \
	  echo "No display here (neither DISPLAY nor WAYLAND_DISPLAY is set): running spanlab-cli instead."; \
	  $(BUILD)/spanlab-cli check $(EXAMPLE); \
	  $(BUILD)/spanlab-cli report $(EXAMPLE); \
	  $(BUILD)/spanlab-cli plot $(EXAMPLE) -o $(BUILD)/example.png --show deflection,moment && \
	  echo "Picture of the beam with its deflection and moment: $(BUILD)/example.png"; \
	fi

# Every fuzz target for FUZZ_SECONDS each (libFuzzer with both sanitizers, Clang, build-fuzz/).
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz: deps
	@[ -f $(FUZZ_BUILD)/build.ninja ] || CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja \
	  -DSPANLAB_FUZZ=ON -DSPANLAB_BUILD_TESTS=OFF -DSPANLAB_BUILD_BENCH=OFF \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(FUZZ_BUILD) --target fuzz_targets
	FUZZ_SECONDS=$(FUZZ_SECONDS) fuzz/run_fuzz.sh $(FUZZ_BUILD)

# A Debian package of the programs, data files, help, icons, desktop entry and man pages.
package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)

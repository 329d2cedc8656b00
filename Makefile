# make run   installs what is missing, builds, starts the editor in the browser
#            on a demo library (Ctrl-C stops it); make demo runs the earlier demo
# make test  installs what is missing, checks the layers' includes, then builds
#            and runs side by side: the unit tests, and the sanitizer build's
#            unit tests and fuzz smoke runs; then the browser tests
# make bench builds and runs the benchmarks (12-megapixel pictures), then
#            OpenCV's counterparts of a few of them (Debian's python3-opencv)
#
# Compiles go through ccache when it is installed, its cache in
# ~/.cache/vantrel-ccache (or $CCACHE_DIR); VANTREL_CCACHE=OFF turns it off.

SHELL := /bin/bash
JOBS ?= $(shell nproc)
CMAKE_GEN = -G Ninja
VANTREL_CCACHE ?= ON
CONFIGURE = $(CMAKE_GEN) -DVANTREL_CCACHE=$(VANTREL_CCACHE)
# The sanitizer tree: lightly optimised, line tables for the stack
# traces; the results are the same bytes as the release build's.
CHECK_FLAGS = -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"

.PHONY: all setup configure build tested run demo browser test layers unit check-build check asan fuzz bench format clean

all: build

setup:
	@scripts/setup.sh

configure: setup
	cmake -S . -B build $(CONFIGURE) -DCMAKE_BUILD_TYPE=Release

build: configure
	cmake --build build -j $(JOBS)

# What the unit and browser tests run, without the benchmarks and the sample.
tested: configure
	cmake --build build -j $(JOBS) --target vantrel vantrel_tests vantrel_front_end

run: build
	scripts/run.sh build

demo: build
	scripts/demo.sh build

layers:
	scripts/check-layers.sh

# The browser tests: Playwright drives Debian's Chromium against vantrel serve.
browser: tested
	cd web && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 VANTREL_BUILD_DIR=$(CURDIR)/build npx playwright test

unit: tested
	ctest --test-dir build --output-on-failure -j $(JOBS)

# The sanitizer tree: clang with AddressSanitizer, UndefinedBehaviorSanitizer
# and libFuzzer's coverage, so that one compile of each file serves both the
# unit tests and the fuzzers. make asan runs its unit tests, make fuzz its
# fuzz smoke runs, make check both.
check-build: setup
	cmake -S . -B build-check $(CONFIGURE) $(CHECK_FLAGS) -DVANTREL_FUZZ=ON \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build build-check -j $(JOBS) --target vantrel_tests vantrel vantrel_fuzzers

CHECK_RUN = ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-check --output-on-failure -j $(JOBS)

check: check-build
	$(CHECK_RUN) -V

asan: check-build
	$(CHECK_RUN) -R '^unit-'

fuzz: check-build
	$(CHECK_RUN) -V -R '^fuzz_'

# The two trees build and run side by side: one's links and test runs fill
# the time the other's compiles leave. Each tree's output is shown whole when
# it is done. The browser tests follow, alone, on the release build.
test: setup layers
	$(MAKE) --no-print-directory --output-sync=target -j 2 unit check
	$(MAKE) --no-print-directory browser

bench: build
	scripts/setup.sh scripts/bench-packages.txt
	build/bench/vantrel_bench $(BENCH_ARGS)
	bench/opencv_counterparts.py

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-check build-asan build-fuzz

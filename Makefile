# make run   installs what is missing, builds, starts the editor in the browser
#            on a demo library (Ctrl-C stops it); make demo runs the earlier demo
# make test  installs what is missing, builds, runs every test: unit tests,
#            the sanitizer build's unit tests, the fuzz smoke runs
# make bench builds and runs the benchmarks (12-megapixel pictures)

SHELL := /bin/bash
JOBS ?= $(shell nproc)
CMAKE_GEN = -G Ninja

.PHONY: all setup build run demo browser test unit asan fuzz bench format clean

all: build

setup:
	@scripts/setup.sh

build: setup
	cmake -S . -B build $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release
	cmake --build build -j $(JOBS)

run: build
	scripts/run.sh build

demo: build
	scripts/demo.sh build

# The browser tests: Playwright drives Debian's Chromium against vantrel serve.
browser: build
	cd web && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 VANTREL_BUILD_DIR=$(CURDIR)/build npx playwright test

unit: build
	ctest --test-dir build --output-on-failure

asan: setup
	cmake -S . -B build-asan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_SANITIZE=ON
	cmake --build build-asan -j $(JOBS) --target vantrel_tests vantrel
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir build-asan --output-on-failure

fuzz: setup
	cmake -S . -B build-fuzz $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_FUZZ=ON \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build build-fuzz -j $(JOBS)
	ctest --test-dir build-fuzz --output-on-failure -V

test: unit asan fuzz browser

bench: build
	build/bench/vantrel_bench $(BENCH_ARGS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan build-fuzz

# The two commands: `make run` and `make test`. Each does its own set-up.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
NATIVE := build/native
WIN := build/win

.PHONY: run test setup configure build unit-tests system-tests fuzz fuzz-short soak fuzz-merge clean

setup:
	@tools/setup.sh

configure: setup
	@cmake -S . -B $(NATIVE) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMOSSWICK_WERROR=ON >/dev/null
	@cmake -S . -B $(WIN) -G Ninja -DCMAKE_BUILD_TYPE=Release -DMOSSWICK_WERROR=ON \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake >/dev/null

build: configure
	@cmake --build $(NATIVE) -j $(JOBS)
	@cmake --build $(WIN) -j $(JOBS)

unit-tests: build
	@cd $(NATIVE) && ctest --output-on-failure -j $(JOBS)
	@cd $(WIN) && ctest --output-on-failure

system-tests: build
	@tools/run-system-tests.sh

# Part of every test run: each fuzzer replays its kept corpus (fuzz/corpus)
# and makes a short bounded run.
fuzz-short: build
	@FUZZ_MAX_TIME=$${FUZZ_MAX_TIME:-60} tools/run-fuzz.sh

test: unit-tests fuzz-short system-tests

run: build
	@tools/run.sh

# The fuzzers, built with clang in build/fuzz: the replay and a bounded run
# four times as long as the one of `make test`.
fuzz: setup
	@FUZZ_SCALE=$${FUZZ_SCALE:-4} tools/run-fuzz.sh

# Long campaigns of every fuzzer (about 100 million executions in all unless
# SOAK_RUNS or SOAK_TIME say otherwise; see tools/run-fuzz.sh). What they
# find stays in build/fuzz/corpus until `make fuzz-merge` minimises it into
# fuzz/corpus.
soak: setup
	@tools/run-fuzz.sh soak

fuzz-merge: setup
	@tools/run-fuzz.sh merge

clean:
	rm -rf build

# The two commands: `make run` and `make test`. Each does its own set-up.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
NATIVE := build/native
WIN := build/win

.PHONY: run test setup configure build unit-tests system-tests fuzz fuzz-short clean

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

# A short fuzz run of the receive path is part of every test run.
fuzz-short: build
	@FUZZ_RUNS=$${FUZZ_RUNS:-50000} FUZZ_MAX_TIME=$${FUZZ_MAX_TIME:-120} tools/run-fuzz.sh

test: unit-tests fuzz-short system-tests

run: build
	@tools/run.sh

# The receive-path fuzzer, built with clang in build/fuzz, for a bounded run.
fuzz: setup
	@tools/run-fuzz.sh

clean:
	rm -rf build

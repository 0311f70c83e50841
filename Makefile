# The two commands: `make run` and `make test`. Each does its own set-up.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
NATIVE := build/native
WIN := build/win

.PHONY: run test setup configure build unit-tests system-tests fuzz fuzz-short soak soak-loss fuzz-merge clean \
  dist install-linux locale-system-tests

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

# MW_LOCALE=en_US.UTF-8 (or zh_CN.UTF-8; hi_IN.UTF-8 for code page 65001)
# runs Wine in that locale, in a prefix of its own (tools/wine-env.sh), and
# SYSTEM_TESTS names the system-test modules to run (default all), e.g.
#   make system-tests MW_LOCALE=en_US.UTF-8 SYSTEM_TESTS="test_popups test_tray"
export MW_LOCALE
system-tests: build
	@tools/run-system-tests.sh $(SYSTEM_TESTS)

# Part of every test run: each fuzzer replays its kept corpus (fuzz/corpus)
# and makes a short bounded run.
fuzz-short: build
	@FUZZ_MAX_TIME=$${FUZZ_MAX_TIME:-60} tools/run-fuzz.sh

# The tests that show or read texts run again under an English and a Chinese
# Windows code page (1252 and 936), each about three minutes, and a short set
# under code page 65001 (Windows' UTF-8 option); the rest of the suite runs
# once, under the Japanese one.
LOCALE_SYSTEM_TESTS := test_startup_shutdown test_popups test_small_dialogs test_tray.Arrivals \
  test_settings_sheet.BasePage test_settings_sheet.NameChange test_whiteboard.BoardsBetweenTwoCopies \
  test_multipeer_chat.CopiesAndConsole test_presence.Presence \
  test_pane_behaviour.PanesDriven.test_the_line_limit_counts_cp932_bytes
UTF8_SYSTEM_TESTS := test_startup_shutdown test_multipeer_chat.CopiesAndConsole test_settings_sheet.NameChange
locale-system-tests: build
	@status=0; for locale in en_US.UTF-8 zh_CN.UTF-8; do \
	  MW_LOCALE=$$locale tools/run-system-tests.sh $(LOCALE_SYSTEM_TESTS) || status=1; \
	done; \
	MW_LOCALE=hi_IN.UTF-8 tools/run-system-tests.sh $(UTF8_SYSTEM_TESTS) || status=1; exit $$status

test: unit-tests fuzz-short system-tests locale-system-tests

run: build
	@tools/run.sh

# The fuzzers, built with clang in build/fuzz: the replay and a bounded run
# four times as long as the one of `make test`.
fuzz: setup
	@FUZZ_SCALE=$${FUZZ_SCALE:-4} tools/run-fuzz.sh

# Long campaigns: every fuzzer (about 100 million executions in all unless
# SOAK_RUNS or SOAK_TIME say otherwise; see tools/run-fuzz.sh), then the loss
# soak; a failure of one does not keep the other from running. What the
# fuzzers find stays in build/fuzz/corpus until `make fuzz-merge` minimises
# it into fuzz/corpus.
soak: build
	@status=0; tools/run-fuzz.sh soak || status=1; tools/loss-soak.sh || status=1; exit $$status

# The loss soak alone (about 10 minutes): two copies under Wine, each with a
# console peer, exchange 500 chat lines each way and 30 popups over links
# that lose 30% each way (SOAK_LOSS_LINES, SOAK_LOSS_RATE, SOAK_LOSS_POPUPS and
# SOAK_LOSS_PERCENT change that; see tools/loss-soak.sh).
soak-loss: build
	@tools/loss-soak.sh

fuzz-merge: setup
	@tools/run-fuzz.sh merge

# Releases: dist/Mosswick-<version>.zip for Windows users, and the install on
# a Linux desktop (PREFIX, default ~/.local; DESTDIR to stage a package).
dist: build
	@tools/make-dist.sh

install-linux: build
	@tools/install-linux.sh

clean:
	rm -rf build

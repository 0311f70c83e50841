#!/bin/bash
# Runs the whole-program tests (tests/system): the real Mosswick.exe under
# Wine on a virtual display, peers in network namespaces when this machine
# allows them. Prints one summary line; exits non-zero when a test failed.
#   tools/run-system-tests.sh [unittest arguments, e.g. test_acknowledgement]
# MW_LOCALE chooses the locale Wine runs in (tools/wine-env.sh; default
# ja_JP.UTF-8), for example
#   MW_LOCALE=en_US.UTF-8 tools/run-system-tests.sh test_popups test_small_dialogs
# MW_SYSTEST_DIR names the scratch directory (default build/system-tests, or
# build/system-tests-<locale> for a locale other than ja_JP; emptied first),
# so that two runs on one tree keep apart. MW_QUICK=1 leaves out the
# scenarios that wait for the program's own timers.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
source tools/wine-env.sh
mosswick_wine_prefix

if [ "$MW_LOCALE" = ja_JP.UTF-8 ]; then
  export MW_SYSTEST_DIR=${MW_SYSTEST_DIR:-$ROOT/build/system-tests}
else
  export MW_SYSTEST_DIR=${MW_SYSTEST_DIR:-$ROOT/build/system-tests-${MW_LOCALE%%.*}}
fi
rm -rf "$MW_SYSTEST_DIR"
mkdir -p "$MW_SYSTEST_DIR"

source tools/test-display.sh
netbed_up=""
# Tests bring up beds of their own under the prefixes mwf ... mwz, each under
# its lock. A bed whose lock nobody holds was left by a run that was killed:
# it is removed.
remove_abandoned_beds() {
  local p lock
  for p in mw{f..z}; do
    ls /run/netns 2>/dev/null | grep -qE "^${p}(hub|[0-9]+)$" || continue
    exec {lock}>"/run/mosswick-netbed-$p.lock"
    flock -n "$lock" && NETBED_PREFIX=$p tools/netbed.sh down
    exec {lock}>&-
  done
  return 0
}
cleanup() {
  [ -n "$netbed_up" ] && tools/netbed.sh down
  remove_abandoned_beds
  stop_test_wine
}
trap cleanup EXIT

start_test_display "system tests"

# The test network. Runs that share this machine (a chroot sees the same
# namespaces through /run) each take a name prefix of their own under a lock.
if reason=$(tools/netbed.sh check 2>&1); then
  for p in mw mwa mwb mwc mwd mwe; do
    exec {lock}>"/run/mosswick-netbed-$p.lock"
    if flock -n "$lock"; then export NETBED_PREFIX=$p; break; fi
    exec {lock}>&-
  done
  if [ -n "${NETBED_PREFIX:-}" ] && tools/netbed.sh up 3; then
    netbed_up=1
    export MW_NETBED_COUNT=3
  else
    export MW_NETBED_SKIP="the test network could not be set up"
  fi
else
  export MW_NETBED_SKIP="network namespaces unavailable: ${reason#netbed: }"
fi
[ -n "${MW_NETBED_SKIP:-}" ] && echo "system tests: $MW_NETBED_SKIP; multi-peer tests will be skipped"

[ "$MW_LOCALE" != ja_JP.UTF-8 ] && echo "system tests: Wine runs in $MW_LOCALE"
timeout 1500 python3 -u tests/system/run.py "$@" 2>&1 | tee "$MW_SYSTEST_DIR/unittest.log"
exit "${PIPESTATUS[0]}"

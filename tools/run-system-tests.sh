#!/bin/bash
# Runs the whole-program tests (tests/system): the real Mosswick.exe under
# Wine on a virtual display, peers in network namespaces when this machine
# allows them. Prints one summary line; exits non-zero when a test failed.
#   tools/run-system-tests.sh [unittest arguments, e.g. test_acknowledgement]
# MW_SYSTEST_DIR names the scratch directory (default build/system-tests;
# emptied first), so that two runs on one tree keep apart. MW_QUICK=1 leaves
# out the scenarios that wait for the program's own timers.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
source tools/wine-env.sh
mosswick_wine_prefix

export MW_SYSTEST_DIR=${MW_SYSTEST_DIR:-$ROOT/build/system-tests}
rm -rf "$MW_SYSTEST_DIR"
mkdir -p "$MW_SYSTEST_DIR"

xvfb_pid=""
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
  local prefix
  for prefix in "$MW_SYSTEST_DIR"/prefixes/*; do
    [ -d "$prefix" ] && WINEPREFIX=$prefix wineserver -k 2>/dev/null
  done
  [ -n "$netbed_up" ] && tools/netbed.sh down
  remove_abandoned_beds
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  return 0
}
trap cleanup EXIT

# A display of our own: Xvfb picks a free number and tells it through -displayfd.
display_file=$MW_SYSTEST_DIR/display
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >"$MW_SYSTEST_DIR/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
[ -s "$display_file" ] || { echo "system tests: Xvfb did not start (see $MW_SYSTEST_DIR/xvfb.log)"; exit 1; }
export DISPLAY=":$(head -1 "$display_file")"

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

timeout 1500 python3 -u tests/system/run.py "$@" 2>&1 | tee "$MW_SYSTEST_DIR/unittest.log"
exit "${PIPESTATUS[0]}"

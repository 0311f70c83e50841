#!/bin/bash
# The loss soak (tests/system/soak_loss.py): two copies of Mosswick.exe under
# Wine, each on a test network of its own with a console peer, exchange chat
# lines and popups over links that lose 30% of the datagrams each way. About
# 10 minutes; prints a summary table and exits non-zero on a fault.
#   tools/loss-soak.sh [--lines N] [--rate PER_SECOND] [--popups N] [--loss PCT]
# The same through SOAK_LOSS_LINES, SOAK_LOSS_RATE, SOAK_LOSS_POPUPS and
# SOAK_LOSS_PERCENT. MW_SYSTEST_DIR names the scratch directory (default
# build/loss-soak; emptied first); the figures are also left there in
# loss-soak.json. MW_BUILD_WIN names the Windows build (default build/win).
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
source tools/wine-env.sh
mosswick_wine_prefix

if ! reason=$(tools/netbed.sh check 2>&1); then
  echo "loss soak: skipped: network namespaces unavailable: ${reason#netbed: }"
  exit 0
fi

export MW_SYSTEST_DIR=${MW_SYSTEST_DIR:-$ROOT/build/loss-soak}
rm -rf "$MW_SYSTEST_DIR"
mkdir -p "$MW_SYSTEST_DIR"

source tools/test-display.sh
trap stop_test_wine EXIT
start_test_display "loss soak"

# The campaign brings up its beds under the runner's locks and removes them;
# the time limit keeps a stuck run from holding them for ever.
timeout 2400 python3 -u tests/system/soak_loss.py "$@" 2>&1 | tee "$MW_SYSTEST_DIR/loss-soak.log"
exit "${PIPESTATUS[0]}"

#!/usr/bin/env bash
# Builds the receive-path fuzzer with clang (build/fuzz) and runs it for a
# bounded number of runs from a small generated seed corpus. Exits non-zero on
# any crash or sanitizer report.
#
#   FUZZ_RUNS      number of runs (default 200000)
#   FUZZ_MAX_TIME  upper bound in seconds (default 600)
set -euo pipefail
cd "$(dirname "$0")/.."

RUNS=${FUZZ_RUNS:-200000}
MAX_TIME=${FUZZ_MAX_TIME:-600}
BUILD=build/fuzz

if ! command -v clang++ >/dev/null; then
    echo "run-fuzz: clang++ is needed (apt-get install clang)" >&2
    exit 1
fi

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
    -DMOSSWICK_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" --target receive_fuzzer

# --- Seed corpus: one datagram of each kind. The first byte of an input
# chooses the source address (0 127.0.0.1, 2 a .255 source, 3 a known peer,
# 7 a stranger); the rest is the datagram.
SEEDS="$BUILD/seeds"
rm -rf "$SEEDS"
mkdir -p "$SEEDS"

be16() { printf "\\x$(printf %02x $((($1 >> 8) & 255)))\\x$(printf %02x $(($1 & 255)))"; }
ip() { printf "\\x$(printf %02x "$1")\\x$(printf %02x "$2")\\x$(printf %02x "$3")\\x$(printf %02x "$4")"; }
zeros() { head -c "$1" /dev/zero; }
text() { printf '%s' "$1"; zeros $(($2 - ${#1})); }  # a text in a zero-filled field
header() { printf 'K001'; be16 "$1"; be16 "$2"; ip $3; be16 "$4"; be16 "$5"; }  # len kind "a b c d" num allCount
entry() { ip $1; text "$2" 20; printf '\x12\x00\x34\x00\x56\x00'; be16 1000; text "$3" 20; }

{ printf '\x03'; header 24 4 "10 0 0 2" 3 1001; printf '\x00\x00\x03\xe9abc\x00'; } >"$SEEDS/chat"
{ printf '\x07'; header 68 1 "192 168 9 9" 1 1002; entry "192 168 9 9" user4 available; } >"$SEEDS/start"
{ printf '\x00'; header 68 100 "10 0 0 7" 1 1003; entry "10 0 0 7" user1 available; } >"$SEEDS/check-loopback"
{ printf '\x03'; header 120 2 "10 0 0 2" 2 1004; entry "10 0 0 2" user2 a; entry "10 0 0 9" user5 b; } >"$SEEDS/userlist"
{ printf '\x03'; header 68 5 "10 0 0 2" 1 1005; entry "10 0 0 2" user2 busy; } >"$SEEDS/status"
{ printf '\x02'; header 16 3 "10 0 0 2" 1 1006; } >"$SEEDS/end"
{ printf '\x03'; header 25 7 "10 0 0 2" 5 1007; zeros 4; printf 'Resp\x00'; } >"$SEEDS/resp"
{ printf '\x03'; header 23 6 "10 0 0 2" 2 1008; zeros 4; printf 'yo\x00'; } >"$SEEDS/popup"
{ printf '\x03'; header 436 8 "10 0 0 2" 0 1009; printf '\xff\x00\x00\x00\x00\x00\x00\x04\x00\x02\x00\x00'; zeros 8
  printf '\x00\x0a\x00\x0a\x01\x2c\x01\x2c'; zeros 392; } >"$SEEDS/board"
{ printf '\x07'; header 16 9 "1 2 3 4" 0 1010; } >"$SEEDS/unknown-kind"

# Sequences: a first byte 0x80, then per datagram a selector byte (source as
# above; 0x40 resend pass first, 0x20 user check first, 0x10 sends to 10.0.0.3
# fail), a 16-bit length and the datagram.
step() { printf "\\x$(printf %02x "$1")"; be16 "$2"; }
{ printf '\x80'; step 7 68; header 68 100 "192 168 9 9" 1 1011; entry "192 168 9 9" user4 a
  step $((0x47)) 25; header 25 7 "192 168 9 9" 5 1001; zeros 4; printf 'Resp\x00'; } >"$SEEDS/seq-check-answered"
{ printf '\x80'; step 3 16; header 16 3 "10 0 0 2" 1 1012
  step $((0x23)) 68; header 68 1 "10 0 0 2" 1 1013; entry "10 0 0 2" user2 back
  step $((0x53)) 120; header 120 2 "10 0 0 2" 2 1014; entry "10 0 0 2" user2 a; entry "10 1 1 7" user1 b; } >"$SEEDS/seq-end-start-list"

# --- Run. New inputs go to a scratch corpus; the seeds stay as generated.
WORK="$BUILD/corpus"
mkdir -p "$WORK"
LOG="$BUILD/receive_fuzzer.log"
status=0
"$BUILD/receive_fuzzer" -runs="$RUNS" -max_total_time="$MAX_TIME" -max_len=4096 \
    -print_final_stats=1 -artifact_prefix="$BUILD/" "$WORK" "$SEEDS" >"$LOG" 2>&1 || status=$?

if [ "$status" -ne 0 ] || grep -qE "ERROR: (AddressSanitizer|libFuzzer|LeakSanitizer)|runtime error:" "$LOG"; then
    tail -n 60 "$LOG"
    echo "run-fuzz: receive_fuzzer FAILED (status $status); see $LOG and the crash-* file in $BUILD" >&2
    exit 1
fi
execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$LOG")
echo "run-fuzz: receive_fuzzer ran ${execs:-?} executions without a crash or sanitizer report"

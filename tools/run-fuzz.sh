#!/usr/bin/env bash
# The libFuzzer campaigns: builds every fuzz/*_fuzzer.cpp with clang, address
# and undefined sanitizers (build/fuzz) and runs them. Exits non-zero on any
# crash, sanitizer report or failed check.
#
#   tools/run-fuzz.sh         short: each fuzzer replays its corpus
#                             (fuzz/corpus/<fuzzer> and the generated seeds),
#                             then makes a short bounded run (make test, make fuzz)
#   tools/run-fuzz.sh soak    long campaigns of every fuzzer, one after the
#                             other, each on several workers (make soak)
#   tools/run-fuzz.sh merge   minimises the kept corpus together with what the
#                             runs found into fuzz/corpus/ (make fuzz-merge)
#
# Short runs:
#   FUZZ_SCALE              multiplies every fuzzer's runs (default 1)
#   FUZZ_RUNS_<fuzzer>      runs of one fuzzer, e.g. FUZZ_RUNS_receive_fuzzer
#   FUZZ_MAX_TIME           upper bound in seconds for each run (default 120)
# Soak:
#   SOAK_RUNS               executions in all (default 100000000), split
#                           across the fuzzers by their shares below
#   SOAK_RUNS_<fuzzer>      executions of one fuzzer, instead of its share
#   SOAK_TIME               upper bound in seconds for each fuzzer (default: none)
#   SOAK_TIME_<fuzzer>      the same for one fuzzer
#   SOAK_WORKERS            processes per fuzzer (default: the number of cores)
#   SOAK_FUZZERS            the fuzzers to run, by name (default: all)
#
# Inputs the runs find go to build/fuzz/corpus/<fuzzer>, never into the
# repository; `merge` is the one step that changes fuzz/corpus/. Crash
# inputs go to build/fuzz/artifacts/<fuzzer>/.
set -euo pipefail
cd "$(dirname "$0")/.."

MODE=${1:-short}
BUILD=build/fuzz
CORPUS=fuzz/corpus
SEEDS="$BUILD/seeds"
SCRATCH="$BUILD/corpus"
ARTIFACTS="$BUILD/artifacts"
LOGS="$BUILD/logs"
JOBS=$(nproc)

# Per fuzzer: longest input, runs of the short run, share of the soak's
# executions in parts per thousand. The short runs take some seconds each on
# one core. The shares follow the fuzzers' speeds so that one soak of 100
# million ends in about an hour on two cores: the receive path (about 1,500
# executions a second a core, Debug dumps and log writes included) gets some
# 9 million, ten times its earlier campaigns; the settings fuzzer (which reads
# and rewrites a real file some hundred times an input, 80 a second) 100,000;
# the quick readers the rest.
fuzzer_params() {
    case "$1" in
        receive_fuzzer)      echo "4096  50000  89" ;;
        settings_fuzzer)     echo "2048   2000   1" ;;
        font_value_fuzzer)   echo " 200 200000 400" ;;
        stroke_fuzzer)       echo "2048 100000 160" ;;
        popup_record_fuzzer) echo "2048 200000 350" ;;
        *)                   echo "4096  10000   0" ;;
    esac
}
max_len_of() { local p; p=($(fuzzer_params "$1")); echo "${p[0]}"; }
short_runs_of() { local p; p=($(fuzzer_params "$1")); echo "${p[1]}"; }
share_of() { local p; p=($(fuzzer_params "$1")); echo "${p[2]}"; }

# The value of VAR_<fuzzer>, or the default.
per_fuzzer() {
    local name="$1_$2"
    echo "${!name:-$3}"
}

FUZZERS=()
for source in fuzz/*_fuzzer.cpp; do FUZZERS+=("$(basename "$source" .cpp)"); done

build_fuzzers() {
    if ! command -v clang++ >/dev/null; then
        echo "run-fuzz: clang++ is needed (apt-get install clang)" >&2
        exit 1
    fi
    cmake -S . -B "$BUILD" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
        -DMOSSWICK_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$BUILD" --target "${FUZZERS[@]}"
}

# --- Seeds: a few hand-made inputs per fuzzer, made afresh each run, so that
# the cases they stand for are replayed whatever the kept corpus holds.
be16() { printf "\\x$(printf %02x $((($1 >> 8) & 255)))\\x$(printf %02x $(($1 & 255)))"; }
ip() { printf "\\x$(printf %02x "$1")\\x$(printf %02x "$2")\\x$(printf %02x "$3")\\x$(printf %02x "$4")"; }
zeros() { head -c "$1" /dev/zero; }
text() { printf '%s' "$1"; zeros $(($2 - ${#1})); }  # a text in a zero-filled field
header() { printf 'K001'; be16 "$1"; be16 "$2"; ip $3; be16 "$4"; be16 "$5"; }  # len kind "a b c d" num allCount
entry() { ip $1; text "$2" 20; printf '\x12\x00\x34\x00\x56\x00'; be16 1000; text "$3" 20; }
byte() { printf "\\x$(printf %02x "$1")"; }
board() {  # clear width count, then count points "x y"
    local clear=$1 width=$2 count=$3; shift 3
    header 436 8 "10 0 0 2" 0 1009; printf '\xff\x00\x00\x00\x00\x00'; be16 "$width"; be16 "$count"; be16 "$clear"
    zeros 8
    local point x y
    for point in "$@"; do read -r x y <<<"$point"; be16 "$x"; be16 "$y"; done
    zeros $((400 - 4 * $#))
}

seeds_receive() {
    local d="$SEEDS/receive_fuzzer"
    # The first byte chooses the source address (0 127.0.0.1, 2 a .255
    # source, 3 a known peer, 7 a stranger); the rest is the datagram.
    { byte 3; header 24 4 "10 0 0 2" 3 1001; printf '\x00\x00\x03\xe9abc\x00'; } >"$d/chat"
    { byte 7; header 68 1 "192 168 9 9" 1 1002; entry "192 168 9 9" user4 available; } >"$d/start"
    { byte 0; header 68 100 "10 0 0 7" 1 1003; entry "10 0 0 7" user1 available; } >"$d/check-loopback"
    { byte 3; header 120 2 "10 0 0 2" 2 1004; entry "10 0 0 2" user2 a; entry "10 0 0 9" user5 b; } >"$d/userlist"
    { byte 3; header 68 5 "10 0 0 2" 1 1005; entry "10 0 0 2" user2 busy; } >"$d/status"
    { byte 2; header 16 3 "10 0 0 2" 1 1006; } >"$d/end"
    { byte 3; header 25 7 "10 0 0 2" 5 1007; zeros 4; printf 'Resp\x00'; } >"$d/resp"
    { byte 3; header 23 6 "10 0 0 2" 2 1008; zeros 4; printf 'yo\x00'; } >"$d/popup"
    { byte 3; board 0 4 2 "10 10" "300 300"; } >"$d/board"
    { byte 7; header 16 9 "1 2 3 4" 0 1010; } >"$d/unknown-kind"
    # Sequences: a first byte 0x80, then per datagram a selector byte (source
    # as above; 0x40 resend pass first, 0x20 user check first, 0x10 sends to
    # 10.0.0.3 fail), a 16-bit length and the datagram.
    step() { byte "$1"; be16 "$2"; }
    { byte $((0x80)); step 7 68; header 68 100 "192 168 9 9" 1 1011; entry "192 168 9 9" user4 a
      step $((0x47)) 25; header 25 7 "192 168 9 9" 5 1001; zeros 4; printf 'Resp\x00'; } >"$d/seq-check-answered"
    { byte $((0x80)); step 3 16; header 16 3 "10 0 0 2" 1 1012
      step $((0x23)) 68; header 68 1 "10 0 0 2" 1 1013; entry "10 0 0 2" user2 back
      step $((0x53)) 120; header 120 2 "10 0 0 2" 2 1014; entry "10 0 0 2" user2 a; entry "10 1 1 7" user1 b; } >"$d/seq-end-start-list"
}

seeds_settings() {
    local d="$SEEDS/settings_fuzzer"
    # One byte L, L bytes of names (section, key, value split at NULs), the file.
    local font='14:0:0:0:400:0:0:0:128:2:0:0:0:MS PGothic'
    { byte 0; printf '[Client_Definition]\r\nName=taro\r\nChatMsg_Recieve=Icon\r\nLog_Save=Yes\r\n'
      printf 'Port_Number=55700\r\nInArea_TextColor=-1\r\nOuArea_Font=%s\r\nInArea_Font=None\r\n' "$font"
      printf 'UsArea_Font=1:2:3\r\nIcon_Color=Blue\r\nUserArea_View=2\r\nDebug=Yes\r\n'
      printf '[Broadcast_Definition]\r\nBroadcast_LocalNetwork=Yes\r\nNumber=3\r\n'
      printf 'Address01=@192.168.1.255\r\nAddress02=10.0.0.2\r\nAddress03=nonsense\r\n'
      printf '[Window_Information]\r\nSplit1_Pos=330\r\nTop=-5\r\nLeft=100\r\nRight=900\r\nBottom=700\r\n'
      printf 'End_Status=TaskToray\r\nPersonal_Status=On\r\nPopup_Status=Off\r\n'; } >"$d/full"
    { byte 17; printf 'Sec\0Key\0some value'; printf '[sec]\nkey = old\n'; } >"$d/names"
    { byte 3; printf 'ab\0'; printf '[client_definition]\rNAME = "quoted"\r[Broadcast_Definition]\n'
      printf 'Number=99999999999\nAddress01=@@1.2.3.4\n  Address02 =  0x7f.1\n'
      printf '[Client_Definition]\nName=second\n\x1a'; } >"$d/odd"
    { byte 25; printf 'a-login-name-longer-than-19'; printf '[Client_Definition]\nName=\x83\x41\x83\n'
      printf 'OuArea_Font=1:2:3:4:5:6:7:8:9:10:11:12:13:\x83\x41\x83\x43 ]\n[x\x83]\nDebug=No'; } >"$d/cp932"
}

seeds_font() {
    local d="$SEEDS/font_value_fuzzer"
    printf '14:0:0:0:400:0:0:0:128:2:0:0:0:MS PGothic' >"$d/default"
    printf -- '-19:7:900:-900:700:255:1:129:128:3:200:5:49:Face' >"$d/unusual"
    printf '::1:::2:3:4:5:6:7:8:9:10:11:12:13:Name:rest' >"$d/colons"
    printf '99999999999:-99999999999:x:+4: 5:300:-1:0:0:0:0:0:0:\x83\x41\x83\x41\x83\x41\x83\x41\x83\x41\x83\x41\x83\x41\x83\x41\x83\x41' >"$d/ranges"
}

seeds_stroke() {
    local d="$SEEDS/stroke_fuzzer"
    board 0 4 3 "10 10" "20 30" "300 300" >"$d/lines"
    board 1 1 0 >"$d/clear"
    board 0 1 2 "5 5" "5 5" >"$d/pixel"
    { header 436 8 "10 0 0 2" 0 1; printf '\xff\x00\x00\x00\x00\x00'; be16 65535; be16 65535; } >"$d/short-lying"
    # The whole input is also read as mouse events of five bytes from its
    # start: op x y (0 down, 1 move anywhere, 2 up, 3 move on the canvas).
    # These follow the datagram and four bytes that bring them in step.
    { board 0 1 0; zeros 4; byte 0; be16 5; be16 5; byte 3; be16 6; be16 7; byte 1; be16 65535; be16 3
      byte 0; be16 9; be16 9; byte 2; be16 0; be16 0; } >"$d/drag-and-click"
}

seeds_popup() {
    local d="$SEEDS/popup_record_fuzzer"
    # The first byte's bits: 1 and 2 enforce colours, 4 replies with the text
    # shown, 8 no socket, 16 failing sends.
    { byte 4; header 23 6 "10 0 0 2" 2 1008; zeros 4; printf 'yo\x00'; } >"$d/known"
    { byte 1; header 2000 6 "192 168 9 9" 200 1; zeros 4; printf 'long'; } >"$d/lying"
    { byte 16; header 10 6 "10 0 0 3" 3 1; zeros 4; printf 'abc\x00'; } >"$d/short-len"
    { byte 8; header 276 6 "10 0 0 2" 255 1; zeros 4; head -c 300 /dev/zero | tr '\0' 'A'; } >"$d/full"
}

make_seeds() {
    local f
    for f in "${FUZZERS[@]}"; do rm -rf "${SEEDS:?}/$f"; mkdir -p "$SEEDS/$f"; done
    seeds_receive
    seeds_settings
    seeds_font
    seeds_stroke
    seeds_popup
}

# The directories a fuzzer's run reads its inputs from.
inputs_of() {
    local dirs=()
    [ -d "$CORPUS/$1" ] && dirs+=("$CORPUS/$1")
    dirs+=("$SEEDS/$1")
    echo "${dirs[@]}"
}

# A log that shows a fault.
log_failed() { grep -qE "ERROR: (AddressSanitizer|libFuzzer|LeakSanitizer)|runtime error:|==ERROR" "$1"; }
executions_in() { sed -n 's/^stat::number_of_executed_units: *//p' "$1" | tail -n 1; }

# One fuzzer's short step: the replay, then the bounded run.
short_one() {
    local f=$1 max_len runs time status=0
    max_len=$(max_len_of "$f")
    runs=$(per_fuzzer FUZZ_RUNS "$f" $(( $(short_runs_of "$f") * ${FUZZ_SCALE:-1} )))
    time=${FUZZ_MAX_TIME:-120}
    mkdir -p "$ARTIFACTS/$f" "$SCRATCH/$f"
    local log="$LOGS/$f-replay.log"
    "$BUILD/$f" -runs=0 -max_len="$max_len" -timeout=25 -print_final_stats=1 -artifact_prefix="$ARTIFACTS/$f/" \
        $(inputs_of "$f") >"$log" 2>&1 || status=$?
    if [ "$status" -ne 0 ] || log_failed "$log"; then
        tail -n 40 "$log"
        echo "run-fuzz: $f FAILED replaying its corpus (status $status); see $log and $ARTIFACTS/$f/" >&2
        return 1
    fi
    local replayed; replayed=$(executions_in "$log")
    # The bounded run starts from a fresh directory for what it finds, so its
    # length does not grow with earlier soaks.
    local found="$SCRATCH/$f/short"
    rm -rf "$found"; mkdir -p "$found"
    log="$LOGS/$f-short.log"
    "$BUILD/$f" -runs="$runs" -max_total_time="$time" -max_len="$max_len" -timeout=25 \
        -print_final_stats=1 -artifact_prefix="$ARTIFACTS/$f/" \
        "$found" $(inputs_of "$f") >"$log" 2>&1 || status=$?
    if [ "$status" -ne 0 ] || log_failed "$log"; then
        tail -n 40 "$log"
        echo "run-fuzz: $f FAILED (status $status); see $log and the crash-* file in $ARTIFACTS/$f/" >&2
        return 1
    fi
    echo "run-fuzz: $f replayed ${replayed:-?} inputs and ran $(executions_in "$log") executions" \
         "without a crash or sanitizer report"
}

run_short() {
    build_fuzzers
    make_seeds
    mkdir -p "$LOGS"
    local f failed=0
    for f in "${FUZZERS[@]}"; do
        # At most one fuzzer per core at a time.
        while [ "$(jobs -rp | wc -l)" -ge "$JOBS" ]; do wait -n || true; done
        rm -f "$LOGS/$f.status"
        ( if short_one "$f"; then s=0; else s=1; fi; echo "$s" >"$LOGS/$f.status" ) >"$LOGS/$f.out" 2>&1 &
    done
    wait
    for f in "${FUZZERS[@]}"; do
        cat "$LOGS/$f.out"
        [ "$(cat "$LOGS/$f.status" 2>/dev/null)" = 0 ] || failed=1
    done
    if [ "$failed" -ne 0 ]; then
        echo "run-fuzz: FAILED" >&2
        exit 1
    fi
}

# --- Soak: each fuzzer in turn on SOAK_WORKERS processes that share one
# scratch corpus (each picks up what the others find). A worker stops at its
# first finding; the others go on.
run_soak() {
    build_fuzzers
    make_seeds
    mkdir -p "$LOGS"
    local total=${SOAK_RUNS:-100000000} workers=${SOAK_WORKERS:-$JOBS}
    local selected=(${SOAK_FUZZERS:-${FUZZERS[@]}})
    local summary="$BUILD/soak-summary.txt"
    local all_execs=0 all_millis=0 all_findings=0 f
    printf '%-22s %14s %9s %10s %10s %9s\n' fuzzer executions seconds exec/s new-inputs findings | tee "$summary"
    for f in "${selected[@]}"; do
        local max_len runs time per_worker
        max_len=$(max_len_of "$f")
        runs=$(per_fuzzer SOAK_RUNS "$f" $(( total / 1000 * $(share_of "$f") )))
        time=$(per_fuzzer SOAK_TIME "$f" "${SOAK_TIME:-0}")
        per_worker=$(( (runs + workers - 1) / workers ))
        [ "$runs" -gt 0 ] || continue
        mkdir -p "$SCRATCH/$f/soak" "$ARTIFACTS/$f"
        local before artifacts_before started w pids=() failed_workers=0
        before=$(ls "$SCRATCH/$f/soak" | wc -l)
        artifacts_before=$(ls "$ARTIFACTS/$f" | wc -l)
        started=$(date +%s%N)
        for ((w = 1; w <= workers; w++)); do
            "$BUILD/$f" -runs="$per_worker" -max_total_time="$time" -max_len="$max_len" -timeout=25 \
                -print_final_stats=1 -artifact_prefix="$ARTIFACTS/$f/" \
                "$SCRATCH/$f/soak" $(inputs_of "$f") >"$LOGS/$f-soak-$w.log" 2>&1 &
            pids+=($!)
        done
        for w in "${!pids[@]}"; do wait "${pids[$w]}" || failed_workers=$((failed_workers + 1)); done
        local millis=$(( ($(date +%s%N) - started) / 1000000 )) execs=0 n
        for ((w = 1; w <= workers; w++)); do
            n=$(executions_in "$LOGS/$f-soak-$w.log"); execs=$((execs + ${n:-0}))
        done
        local artifacts=$(( $(ls "$ARTIFACTS/$f" | wc -l) - artifacts_before ))
        local findings=$(( artifacts > failed_workers ? artifacts : failed_workers ))
        local new=$(( $(ls "$SCRATCH/$f/soak" | wc -l) - before ))
        printf '%-22s %14d %9d %10d %10d %9d\n' "$f" "$execs" $(( millis / 1000 )) \
            $(( execs * 1000 / (millis > 0 ? millis : 1) )) "$new" "$findings" | tee -a "$summary"
        all_execs=$((all_execs + execs)); all_millis=$((all_millis + millis))
        all_findings=$((all_findings + findings))
    done
    printf '%-22s %14d %9d %10d %10s %9d\n' total "$all_execs" $(( all_millis / 1000 )) \
        $(( all_execs * 1000 / (all_millis > 0 ? all_millis : 1) )) - "$all_findings" | tee -a "$summary"
    echo "run-fuzz: $workers workers per fuzzer; logs in $LOGS, crash inputs in $ARTIFACTS," \
         "new inputs in $SCRATCH (tools/run-fuzz.sh merge keeps them)"
    [ "$all_findings" -eq 0 ]
}

# --- Merge: the kept corpus, the seeds and everything found, minimised by
# libFuzzer into fuzz/corpus/: the smallest inputs that together reach every
# edge the candidates reach. Hit counts are left out of the comparison
# (-use_counters=0), which keeps the corpus to a few hundred small files;
# the fuller scratch corpus stays in build/fuzz/corpus for later soaks.
bytes_in() { find "$1" -type f -printf '%s\n' | awk '{ n += $1 } END { print n + 0 }'; }

run_merge() {
    build_fuzzers
    make_seeds
    mkdir -p "$LOGS"
    local f
    for f in "${FUZZERS[@]}"; do
        local merged="$BUILD/merged/$f" found=()
        rm -rf "$merged"; mkdir -p "$merged" "$CORPUS/$f"
        [ -d "$SCRATCH/$f" ] && found+=($(find "$SCRATCH/$f" -mindepth 1 -maxdepth 1 -type d))
        "$BUILD/$f" -merge=1 -use_counters=0 -max_len="$(max_len_of "$f")" "$merged" "$CORPUS/$f" "$SEEDS/$f" \
            "${found[@]}" >"$LOGS/$f-merge.log" 2>&1 || {
            tail -n 20 "$LOGS/$f-merge.log"; echo "run-fuzz: merging $f FAILED" >&2; exit 1; }
        find "$CORPUS/$f" -type f -delete
        find "$merged" -type f -exec mv -t "$CORPUS/$f" {} +
        echo "run-fuzz: $f keeps $(ls "$CORPUS/$f" | wc -l) inputs, $(bytes_in "$CORPUS/$f") bytes"
    done
    echo "run-fuzz: fuzz/corpus holds $(find "$CORPUS" -type f | wc -l) inputs," \
         "$(bytes_in "$CORPUS") bytes"
}

case "$MODE" in
    short) run_short ;;
    soak) run_soak ;;
    merge) run_merge ;;
    *) echo "usage: tools/run-fuzz.sh [short|soak|merge]" >&2; exit 2 ;;
esac

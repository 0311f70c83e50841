#!/bin/bash
# Posts the result of a build to everyone in the Mosswick chat.
#
#   examples/post-build-result.sh DIR -- COMMAND [ARGUMENT...]
#
# Runs COMMAND (its output still shows here), then joins the chat through
# mosswick-console with the settings of DIR/Mosswick.ini and sends everyone
# one line:
#
#   ビルド成功: COMMAND (12 s)
#   ビルド失敗 (終了コード 2): COMMAND
#
# a failure followed by the last lines the command printed, each as a chat
# line of its own beginning with "| ". Exits with the command's status, also
# when the result could not be posted (that is told on standard error).
#
# The console peer's /quit does not wait for acknowledgements: it sends its
# End and forgets whatever still waits for one. So the script stays until
# every receiver has answered a user check (/check) typed after the lines.
# A receiver takes what one sender sends in the order it comes, so one that
# answers the check has had the lines sent before it (unless the network
# lost a line and not the check). A first check goes before the lines: it
# carries this user's entry, and a receiver that has not heard of this user
# (its announcement reached only the host list, the others hear of it
# second hand) would drop the lines unseen. A receiver slow to answer gets
# the check (and the lines) again on the console peer's next resend tick
# (every 15 seconds); each wait covers one.
#
# Environment:
#   MOSSWICK_CONSOLE     the console peer (default: mosswick-console on PATH,
#                        else build/native/mosswick-console of this repository)
#   POST_TAIL_LINES      output lines sent after a failure (default 3)
#   POST_JOIN_WAIT       seconds to wait for the others to answer the
#                        announcement (default 5)
#   POST_ANSWER_WAIT     seconds to wait for every receiver's answer to the
#                        check (default 20: one resend tick and some)
set -u

me=post-build-result
usage() {
  echo "usage: $0 DIR -- COMMAND [ARGUMENT...]" >&2
  exit 64
}

if [ $# -lt 3 ] || [ "$2" != "--" ]; then usage; fi
dir=$1
shift 2
[ -d "$dir" ] || { echo "$me: not a directory: $dir" >&2; exit 64; }
[ -f "$dir/Mosswick.ini" ] || echo "$me: no Mosswick.ini in $dir: the console peer knows no hosts" >&2

tail_lines=${POST_TAIL_LINES:-3}
join_wait=${POST_JOIN_WAIT:-5}
answer_wait=${POST_ANSWER_WAIT:-20}
# The user list counts as complete once it has not changed for this long
# (milliseconds): the first answers bring the users their senders know.
settle_ms=1000

find_console() {
  if [ -n "${MOSSWICK_CONSOLE:-}" ]; then
    echo "$MOSSWICK_CONSOLE"
  elif command -v mosswick-console >/dev/null; then
    command -v mosswick-console
  else
    echo "$(cd "$(dirname "$0")/.." && pwd)/build/native/mosswick-console"
  fi
}
console=$(find_console)

work=$(mktemp -d)
console_pid=""
cleanup() {
  if [ -n "$console_pid" ] && kill -0 "$console_pid" 2>/dev/null; then kill "$console_pid"; fi
  rm -rf "$work"
}
trap cleanup EXIT

# ---------------------------------------------------------------- the build

started=$EPOCHREALTIME
"$@" 2>&1 | tee "$work/output"
status=${PIPESTATUS[0]}
finished=$EPOCHREALTIME

# The rest reads fractions of a second the same way whatever the locale.
LC_NUMERIC=C

# Microseconds since the epoch, from $EPOCHREALTIME (its separator follows
# the locale: a point or a comma).
micros() { local t=${1//[.,]/}; echo $((10#$t)); }
seconds=$(( ($(micros "$finished") - $(micros "$started") + 500000) / 1000000 ))

messages=()
if [ "$status" -eq 0 ]; then
  messages+=("ビルド成功: $* ($seconds s)")
else
  messages+=("ビルド失敗 (終了コード $status): $*")
  # The last non-blank lines, without colour sequences, other control
  # characters turned into spaces. The "| " in front keeps a line such as
  # "/usr/bin/ld: ..." from being taken for a console command.
  while IFS= read -r line; do
    messages+=("| $line")
  done < <(LC_ALL=C sed 's/\x1b\[[0-9;]*[A-Za-z]//g' "$work/output" | tr '\000-\010\013-\037\177' ' ' |
           LC_ALL=C grep -av '^[[:space:]]*$' | tail -n "$tail_lines")
fi

# ------------------------------------------------------ the console's lines

coproc CONSOLE { exec "$console" --dir "$dir" 2>"$work/stderr"; }
console_pid=$CONSOLE_PID
# Copies of the pipes: bash closes its own when the coprocess ends, and the
# last lines are still to be read then.
exec {from_console}<&"${CONSOLE[0]}" {to_console}>&"${CONSOLE[1]}"

partial=""
line=""
# Reads the console's next line into $line within $1 seconds. 0: a line;
# 1: none yet; 2: the console has ended.
next_line() {
  local chunk="" rc
  IFS= read -r -t "$1" -u "$from_console" chunk
  rc=$?
  if [ "$rc" -eq 0 ]; then
    line=$partial$chunk
    partial=""
    return 0
  fi
  partial+=$chunk  # a timeout leaves what it read of a line
  if [ "$rc" -gt 128 ]; then return 1; fi
  if [ -n "$partial" ]; then
    line=$partial
    partial=""
    return 0
  fi
  return 2
}

now_ms() { echo $(( $(micros "$EPOCHREALTIME") / 1000 )); }

# What the console has shown: the latest complete user list ("address<TAB>
# name" per row), when it changed, and whether a list holding the own row
# alone came after the check (the check empties the list until the answers).
own_name=""
announced=0
rows_left=0
block=()
users=()
changed_ms=0
checking=0
check_emptied=0

take_line() {
  if [ "$rows_left" -gt 0 ]; then
    if [[ $line == "  "* ]]; then
      local row=${line#  }
      block+=("${row##*$'\t'}"$'\t'"${row%%$'\t'*}")
      rows_left=$((rows_left - 1))
      [ "$rows_left" -eq 0 ] && finish_list
      return
    fi
    rows_left=0  # a list cut short: the next one will do
  fi
  case $line in
    "[name] "*) own_name=${line#"[name] "} ;;
    "[state] started") announced=1 ;;
    "[users] "*)
      local count=${line#"[users] "}
      [[ $count =~ ^[0-9]+$ ]] || return
      block=()
      rows_left=$count
      [ "$count" -eq 0 ] && finish_list
      ;;
    "[error] "* | "[warning] "* | "[notice] "* | "[info] "* | "[message] "*) echo "$me: console: $line" >&2 ;;
  esac
}

finish_list() {
  users=("${block[@]}")
  changed_ms=$(now_ms)
  if [ "$checking" -eq 1 ] && [ "${#users[@]}" -eq 1 ]; then check_emptied=1; fi
}

# Reads the console's lines until the test named $1 holds (0), the time of
# $2 seconds runs out (1) or the console ends (2).
wait_for() {
  local deadline=$(( $(now_ms) + $2 * 1000 ))
  until "$1"; do
    local left=$((deadline - $(now_ms)))
    [ "$left" -le 0 ] && return 1
    [ "$left" -gt 200 ] && left=200
    next_line "$(printf '0.%03d' "$left")"
    case $? in
      0) take_line ;;
      2) return 2 ;;
    esac
  done
  return 0
}

ready() { [ -n "$own_name" ]; }
is_announced() { [ "$announced" -eq 1 ]; }
joined() { [ "${#users[@]}" -ge 2 ] && [ $(( $(now_ms) - changed_ms )) -ge "$settle_ms" ]; }

# Whether the latest list holds the address $1.
listed() {
  local have
  for have in "${users[@]}"; do
    [ "${have%%$'\t'*}" = "$1" ] && return 0
  done
  return 1
}

# Every user listed when the check went out is listed again since; the
# check empties the list down to the own row first.
expected=()
answered() {
  [ "$check_emptied" -eq 1 ] || return 1
  local want
  for want in "${expected[@]}"; do
    listed "${want%%$'\t'*}" || return 1
  done
}

console_ended() {
  echo "$me: the console peer ended before the result was posted" >&2
  sed "s/^/$me: console: /" "$work/stderr" >&2
}

# -------------------------------------------------------------- the post

post() {
  wait_for ready 15
  case $? in
    1) echo "$me: the console peer did not start within 15 s" >&2; return 1 ;;
    2) console_ended; return 1 ;;
  esac
  echo "/start" >&"$to_console"
  if ! wait_for is_announced 10; then
    echo "$me: the console peer did not announce itself" >&2
    return 1
  fi
  wait_for joined "$join_wait"
  case $? in
    2) console_ended; return 1 ;;
    1) if [ "${#users[@]}" -lt 2 ]; then
         echo "$me: nobody answered within $join_wait s; the result was not posted" >&2
         return 1
       fi ;;
  esac

  # Everyone learns of this user, then gets the lines.
  check_round "/check" || return 1
  check_round "${messages[@]}" "/check" || return 1
  echo "$me: posted; $(( ${#users[@]} - 1 )) receivers answered" >&2
}

# Types the lines given, the last of them a /check, and waits until every
# user listed before has answered. Fails when nobody did.
check_round() {
  expected=("${users[@]}")
  checking=1
  check_emptied=0
  printf '%s\n' "$@" >&"$to_console"
  wait_for answered "$answer_wait"
  local rc=$?
  checking=0
  case $rc in
    0) return 0 ;;
    2) console_ended; return 1 ;;
  esac
  local want missing=()
  for want in "${expected[@]}"; do
    listed "${want%%$'\t'*}" || missing+=("${want#*$'\t'} (${want%%$'\t'*})")
  done
  echo "$me: no answer within $answer_wait s from: ${missing[*]}" >&2
  [ "${#users[@]}" -ge 2 ] || { echo "$me: the result was not posted" >&2; return 1; }
}

post
echo "/quit" >&"$to_console"
exec {to_console}>&-
# The rest of the console's output, until it has left.
wait_for false 10
wait "$console_pid" 2>/dev/null
console_pid=""
exit "$status"

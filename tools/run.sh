#!/bin/bash
# `make run`. With a display ($DISPLAY): starts Mosswick under Wine from
# build/run/ (its INI and log stay there between runs) and waits until it is
# closed. Without one: a short demo on a virtual display. Two copies, each in
# its own network namespace when this machine allows it (else one copy),
# announce themselves to each other and exchange a chat line; a screenshot of
# each is saved and its path printed; then everything is stopped.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
source tools/wine-env.sh
mosswick_wine_prefix
RUN=$ROOT/build/run
mkdir -p "$RUN"

if [ -n "${DISPLAY:-}" ]; then
  cp build/win/Mosswick.exe "$RUN/"
  cd "$RUN"
  exec wine "$RUN/Mosswick.exe" </dev/null
fi

DEMO=$RUN/demo
rm -rf "$DEMO"
mkdir -p "$DEMO"
id_of() { awk -v name="$1" '$1 == "#define" && $2 == name { print $3 }' shell/command_ids.h; }
hex() { printf '%s' "$1" | iconv -f UTF-8 -t CP932 | od -An -tx1 | tr -d ' \n'; }

xvfb_pids=()
displays=("")
copies=()
namespaces=""
export NETBED_PREFIX=mwdemo
cleanup() {
  local i
  for i in "${copies[@]}"; do
    driver "$i" -w 2 close Mosswick >/dev/null 2>&1
  done
  sleep 1
  for i in "${copies[@]}"; do WINEPREFIX=$DEMO/prefix$i wineserver -k 2>/dev/null; done
  [ -n "$namespaces" ] && tools/netbed.sh down
  [ ${#xvfb_pids[@]} -gt 0 ] && kill "${xvfb_pids[@]}" 2>/dev/null
  return 0
}
trap cleanup EXIT

if tools/netbed.sh check 2>/dev/null && tools/netbed.sh up 2; then
  namespaces=1
  copies=(1 2)
else
  echo "run: no network namespaces here (root needed); the demo runs one copy"
  copies=(1)
fi

# In the copy's namespace (when there is one), prefix and display.
in_copy() {
  local i=$1; shift
  if [ -n "$namespaces" ]; then
    DISPLAY=${displays[$i]} WINEPREFIX=$DEMO/prefix$i "$ROOT/tools/netbed.sh" exec "$i" "$@"
  else
    DISPLAY=${displays[$i]} WINEPREFIX=$DEMO/prefix$i "$@"
  fi
}
driver() { local i=$1; shift; in_copy "$i" wine "$ROOT/build/win/mwdriver.exe" -d "mosswick$i" "$@" </dev/null; }

# One virtual display per copy, the size of its Wine desktop, so that each
# screenshot shows one copy whole.
for i in "${copies[@]}"; do
  display_file=$DEMO/display$i
  Xvfb -displayfd 3 -screen 0 570x480x24 -nolisten tcp 3>"$display_file" >"$DEMO/xvfb$i.log" 2>&1 &
  xvfb_pids+=($!)
  for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
  [ -s "$display_file" ] || { echo "run: Xvfb did not start"; exit 1; }
  displays+=(":$(head -1 "$display_file")")
done

names=("" "青井" "蓮見")
peer_of=("" 12 11)
for i in "${copies[@]}"; do
  dir=$DEMO/copy$i
  mkdir -p "$dir"
  cp build/win/Mosswick.exe "$dir/"
  {
    printf '[Client_Definition]\r\nName=%s\r\nTime_View=Yes\r\n' "${names[$i]}"
    # Each copy announces itself to the other at start. Only inside the test
    # network: nothing may go to these addresses from the machine's own.
    if [ -n "$namespaces" ]; then
      printf 'Start_Send=Yes\r\n[Broadcast_Definition]\r\nNumber=1\r\nAddress01=198.18.0.%s\r\n' "${peer_of[$i]}"
    fi
    printf '[Window_Information]\r\nLeft=10\r\nTop=10\r\nRight=560\r\nBottom=460\r\n'
  } | iconv -f UTF-8 -t CP932 >"$dir/Mosswick.ini"
  cp -a "$WINEPREFIX" "$DEMO/prefix$i"
  # The wineserver starts inside the namespace: the program's sockets are made there.
  in_copy "$i" wineserver -p </dev/null >/dev/null 2>&1
  # A virtual desktop of its own gives the window its frame and a tray.
  (cd "$dir" && in_copy "$i" wine explorer "/desktop=mosswick$i,570x480" Mosswick.exe \
     </dev/null >"$dir/wine.log" 2>&1 &)
done

for i in "${copies[@]}"; do
  driver "$i" -w 60 find Mosswick "$(hex "Mosswick - [${names[$i]}]")" >/dev/null \
    || { echo "run: copy $i did not start (see $DEMO/copy$i/wine.log)"; exit 1; }
done

if [ ${#copies[@]} -eq 2 ]; then
  # Both copies know each other once each user area holds two rows.
  for _ in $(seq 20); do
    rows1=$(driver 1 listview-rows Mosswick "$(id_of IDC_USERLIST)" | wc -l)
    rows2=$(driver 2 listview-rows Mosswick "$(id_of IDC_USERLIST)" | wc -l)
    [ "$rows1" -ge 2 ] && [ "$rows2" -ge 2 ] && break
    sleep 1
  done
  driver 1 set-text Mosswick "$(id_of IDC_INPUT)" "$(hex "こんにちは、蓮見さん。")"
  driver 1 command Mosswick "$(id_of IDM_SEND)"
  sleep 1
  driver 2 set-text Mosswick "$(id_of IDC_INPUT)" "$(hex "こんにちは。届きました。")"
  driver 2 command Mosswick "$(id_of IDM_SEND)"
fi
sleep 2

for i in "${copies[@]}"; do
  shot=$RUN/screenshot$i.png
  if import -display "${displays[$i]}" -window root "$shot"; then
    echo "run: screenshot of copy $i saved to $shot"
  else
    echo "run: no screenshot of copy $i"
  fi
done

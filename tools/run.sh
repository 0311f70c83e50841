#!/bin/bash
# `make run`. With a display ($DISPLAY): starts Mosswick under Wine from
# build/run/ (its INI and log stay there between runs) and waits until it is
# closed. Without one: a short demo on virtual displays. Two copies, each in
# its own network namespace when this machine allows it (else one copy),
# announce themselves to each other and chat a few lines, each in its own
# message colour; copy 1 shows the screen type TYPE I (user area on the left),
# copy 2 TYPE II (user area at the bottom). A screenshot of each main window
# is saved under build/run/ and its path printed; then everything is stopped.
#
#   tools/run.sh                 as above
#   tools/run.sh --update-docs   the demo (even with a display), and the
#                                screenshots copied to docs/screenshots/
#                                (type1.png, type2.png, whiteboards.png and
#                                those of popups and the tray) for the README
#   tools/run.sh --pair          two copies on $DISPLAY, each in its own
#                                network namespace and Wine desktop, that
#                                know each other: chat, popups, the
#                                whiteboard between them by hand; ends when
#                                both are closed (root needed)
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"

update_docs=""
pair=""
case "${1:-}" in
  "") ;;
  --update-docs) update_docs=1 ;;
  --pair) pair=1 ;;
  *) sed -n '2,20p' "$0" | sed 's/^# \{0,1\}//'; exit 2 ;;
esac
if [ -n "$pair" ] && [ -z "${DISPLAY:-}" ]; then
  echo "run: --pair needs a display (DISPLAY)"; exit 2
fi

source tools/wine-env.sh
mosswick_wine_prefix
RUN=$ROOT/build/run
mkdir -p "$RUN"

if [ -n "${DISPLAY:-}" ] && [ -z "$update_docs" ] && [ -z "$pair" ]; then
  cp build/win/Mosswick.exe "$RUN/"
  cd "$RUN"
  exec wine "$RUN/Mosswick.exe" </dev/null
fi

DEMO=$RUN/demo
rm -rf "$DEMO"
mkdir -p "$DEMO"
# The demo runs its own copies of the program and the driver, so that a
# rebuild while it runs does not take them away.
cp build/win/Mosswick.exe build/win/mwdriver.exe "$DEMO/"
id_of() { awk -v name="$1" '$1 == "#define" && $2 == name { print $3 }' resources/command_ids.h; }
hex() { printf '%s' "$1" | iconv -f UTF-8 -t CP932 | od -An -tx1 | tr -d ' \n'; }

# The two copies. Window rectangles are screen pixels on each copy's own
# desktop; the sizes and splitter positions are the ones the program itself
# sets when the screen type is switched. Colours are 0x00BBGGRR in decimal:
# a dark blue and a dark red, both readable on the white output area.
names=("" "青井" "蓮見")
peer_of=("" 12 11)
colours=("" $((0x00a00000)) $((0x000000b0)))
views=("" 1 2)
window_w=("" 550 520)
window_h=("" 450 450)
splits=("" $'Split1_Pos=330\r\nSplit2_Pos=140' $'Split1_Pos=250\r\nSplit3_Pos=300')
type_names=("" "TYPE I" "TYPE II")
margin=10
# The conversation, copy 1 and copy 2 in turn.
lines=(
  "1 こんにちは、蓮見さん。聞こえますか？"
  "2 はい、よく聞こえます。青井さんの文字は青ですね。"
  "1 蓮見さんのは赤です。会議は三時からです。"
  "2 了解です。資料を用意しておきます。"
  "1 ありがとう。会議室Ｂでお願いします。"
  "2 では後ほど。"
)

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
elif [ -n "$pair" ]; then
  echo "run: --pair needs network namespaces (root)"; exit 1
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
driver() { local i=$1; shift; in_copy "$i" wine "$DEMO/mwdriver.exe" -d "mosswick$i" "$@" </dev/null; }

# The desktop holds the main window with a margin, and is at least large
# enough for the settings sheet.
desktop_size() {
  local w=$((window_w[$1] + 2 * margin)) h=$((window_h[$1] + 2 * margin))
  echo "$((w > 640 ? w : 640))x$((h > 560 ? h : 560))"
}

# One virtual display per copy, the size of its Wine desktop, so that each
# screenshot shows one copy whole; --pair shows both on the user's display.
for i in "${copies[@]}"; do
  if [ -n "$pair" ]; then displays+=("$DISPLAY"); continue; fi
  display_file=$DEMO/display$i
  Xvfb -displayfd 3 -screen 0 "$(desktop_size "$i")x24" -nolisten tcp 3>"$display_file" >"$DEMO/xvfb$i.log" 2>&1 &
  xvfb_pids+=($!)
  for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
  [ -s "$display_file" ] || { echo "run: Xvfb did not start"; exit 1; }
  displays+=(":$(head -1 "$display_file")")
done

for i in "${copies[@]}"; do
  dir=$DEMO/copy$i
  mkdir -p "$dir"
  cp "$DEMO/Mosswick.exe" "$dir/"
  {
    printf '[Client_Definition]\r\nName=%s\r\nTime_View=Yes\r\n' "${names[$i]}"
    printf 'Msg_TextColor=%s\r\nUserArea_View=%s\r\n' "${colours[$i]}" "${views[$i]}"
    # Waiting in the tray, copy 1 asks with a box when a line arrives.
    [ "$i" = 1 ] && printf 'ChatMsg_Recieve_At_Toray=Msg\r\n'
    # Each copy announces itself to the other at start. Only inside the test
    # network: nothing may go to these addresses from the machine's own.
    if [ -n "$namespaces" ]; then
      printf 'Start_Send=Yes\r\n[Broadcast_Definition]\r\nNumber=1\r\nAddress01=198.18.0.%s\r\n' "${peer_of[$i]}"
    fi
    printf '[Window_Information]\r\nLeft=%d\r\nTop=%d\r\nRight=%d\r\nBottom=%d\r\n%s\r\n' \
      "$margin" "$margin" "$((margin + window_w[$i]))" "$((margin + window_h[$i]))" "${splits[$i]}"
  } | iconv -f UTF-8 -t CP932 >"$dir/Mosswick.ini"
  cp -a "$WINEPREFIX" "$DEMO/prefix$i"
  # The wineserver starts inside the namespace: the program's sockets are made there.
  in_copy "$i" wineserver -p </dev/null >/dev/null 2>&1
  # A virtual desktop of its own gives the window its frame and a tray.
  (cd "$dir" && in_copy "$i" wine explorer "/desktop=mosswick$i,$(desktop_size "$i")" Mosswick.exe \
     </dev/null >"$dir/wine.log" 2>&1 &)
done

for i in "${copies[@]}"; do
  driver "$i" -w 60 find Mosswick "$(hex "Mosswick - [${names[$i]}]")" >/dev/null \
    || { echo "run: copy $i did not start (see $DEMO/copy$i/wine.log)"; exit 1; }
done

# By hand: both copies stay until the user has closed both.
if [ -n "$pair" ]; then
  echo "run: ${names[1]} and ${names[2]} are running, each in its own window; close both to end"
  while driver 1 -w 1 find Mosswick >/dev/null 2>&1 || driver 2 -w 1 find Mosswick >/dev/null 2>&1; do
    sleep 2
  done
  exit 0
fi

# Waits up to 10 seconds until copy $1's output area holds the text $2.
shown_in() {
  local want; want=$(hex "$2")
  for _ in $(seq 20); do
    driver "$1" child-text Mosswick "$(id_of IDC_OUTPUT)" | grep -qF "$want" && return 0
    sleep 0.5
  done
  return 1
}

if [ ${#copies[@]} -eq 2 ]; then
  # Both copies know each other once each user area holds two rows.
  for _ in $(seq 20); do
    rows1=$(driver 1 listview-rows Mosswick "$(id_of IDC_USERLIST)" | wc -l)
    rows2=$(driver 2 listview-rows Mosswick "$(id_of IDC_USERLIST)" | wc -l)
    [ "$rows1" -ge 2 ] && [ "$rows2" -ge 2 ] && break
    sleep 1
  done
  [ "$rows1" -ge 2 ] && [ "$rows2" -ge 2 ] || echo "run: the copies did not see each other"
  # Each line is sent once the one before it has arrived, so that both
  # output areas show the conversation in the same order.
  for line in "${lines[@]}"; do
    from=${line%% *}
    text=${line#* }
    to=$((3 - from))
    driver "$from" set-text Mosswick "$(id_of IDC_INPUT)" "$(hex "$text")"
    driver "$from" command Mosswick "$(id_of IDM_SEND)"
    shown_in "$to" "$text" || echo "run: a line of copy $from did not reach copy $to"
  done
else
  for line in "${lines[@]}"; do
    [ "${line%% *}" = 1 ] || continue
    driver 1 set-text Mosswick "$(id_of IDC_INPUT)" "$(hex "${line#* }")"
    driver 1 command Mosswick "$(id_of IDM_SEND)"
  done
fi
sleep 2

shots=()
for i in "${copies[@]}"; do
  shot=$RUN/screenshot$i.png
  # Only the main window: its rectangle was given in the INI.
  if import -display "${displays[$i]}" -window root \
       -crop "${window_w[$i]}x${window_h[$i]}+$margin+$margin" +repage "$shot"; then
    echo "run: screenshot of copy $i (${type_names[${views[$i]}]}) saved to $shot"
    shots[$i]=$shot
  else
    echo "run: no screenshot of copy $i"
  fi
done

# The first visible window of copy $1 whose class is $2 and title begins with
# the text $3 (empty: any title).
window_of() {
  local want; want=$(hex "$3")
  driver "$1" windows | awk -v kind="$2" -v want="$want" \
    '$2 == kind && $3 == "1" && index($4, want) == 1 { print $1; exit }'
}
# A screenshot of copy $1's whole desktop, saved as build/run/$2.png.
extra_shots=()
desktop_shot() {
  local shot=$RUN/$2.png
  if import -display "${displays[$1]}" -window root "$shot"; then
    echo "run: screenshot of $3 saved to $shot"
    extra_shots+=("$2")
  else
    echo "run: no screenshot of $3"
  fi
}
# Waits up to 10 seconds for such a window; prints its handle.
wait_window() {
  local found=""
  for _ in $(seq 20); do
    found=$(window_of "$@")
    [ -n "$found" ] && break
    sleep 0.5
  done
  echo "$found"
}

if [ ${#copies[@]} -eq 2 ]; then
  # The whiteboard: copy 1 draws, copy 2's board shows the same picture.
  canvas=$(id_of IDC_BOARD_CANVAS)
  for i in 1 2; do
    driver "$i" command Mosswick "$(id_of IDM_WHITEBOARD)"
    board[$i]=$(wait_window "$i" "#32770" "Mosswick - 白板")
    [ -n "${board[$i]}" ] && driver "$i" move "${board[$i]}" "$margin" 5
  done
  if [ -n "${board[1]}" ] && [ -n "${board[2]}" ]; then
    read -r _ cx cy _ < <(driver 1 layout "${board[1]}" | awk -v id="$canvas" '$1 == id { print $1, $3 + 2, $4 + 2, $0 }')
    # Strokes as swatch, pen width, start and end on the canvas.
    strokes=(
      "1153 IDC_BOARD_WIDTH8 40 60 250 60" "1153 IDC_BOARD_WIDTH8 250 60 250 230"
      "1154 IDC_BOARD_WIDTH4 60 240 240 100" "1158 IDC_BOARD_WIDTH8 60 100 140 270"
      "1166 IDC_BOARD_WIDTH1 20 20 280 280" "1161 IDC_BOARD_WIDTH4 150 30 150 290"
    )
    for s in "${strokes[@]}"; do
      read -r swatch width x1 y1 x2 y2 <<<"$s"
      driver 1 command "${board[1]}" "$swatch"
      driver 1 command "${board[1]}" "$(id_of "$width")"
      driver 1 drag "${board[1]}" $((cx + x1)) $((cy + y1)) $((cx + x2)) $((cy + y2))
    done
    sleep 1
    for i in 1 2; do
      read -r l t r b < <(driver "$i" rect "${board[$i]}")
      import -display "${displays[$i]}" -window root -crop "$((r - l))x$((b - t))+$l+$t" +repage "$DEMO/board$i.png"
    done
    if convert "$DEMO/board1.png" "$DEMO/board2.png" -background white -splice 10x0 +append "$RUN/whiteboards.png"; then
      echo "run: screenshot of both whiteboards saved to $RUN/whiteboards.png"
      extra_shots+=(whiteboards)
    fi
    for i in 1 2; do driver "$i" command "${board[$i]}" 2; done
  else
    echo "run: a whiteboard did not open"
  fi
fi

# A screenshot of copy $1's window $2 alone, saved as build/run/$3.png.
window_shot() {
  local l t r b shot=$RUN/$3.png
  read -r l t r b < <(driver "$1" rect "$2")
  if import -display "${displays[$1]}" -window root -crop "$((r - l))x$((b - t))+$l+$t" +repage "$shot"; then
    echo "run: screenshot of $4 saved to $shot"
    extra_shots+=("$3")
  else
    echo "run: no screenshot of $4"
  fi
}

# The settings sheet's four pages and the three small dialogs, at copy 1.
psm_setcursel=$((0x400 + 101))
driver 1 command Mosswick "$(id_of IDM_SETTINGS)"
sheet=$(wait_window 1 "#32770" "Mosswick - 設定")
if [ -n "$sheet" ]; then
  driver 1 move "$sheet" "$margin" 5
  pages=(settings-base settings-send-receive settings-display settings-network)
  for page in 0 1 2 3; do
    driver 1 send "$sheet" "$psm_setcursel" "$page" 0 >/dev/null
    sleep 1
    window_shot 1 "$sheet" "${pages[$page]}" "the settings sheet, page $((page + 1))"
  done
  driver 1 command "$sheet" 2
else
  echo "run: the settings sheet did not open"
fi
dialogs=("IDM_STATUS Mosswick_-_状態変更 status-dialog" "IDM_MACHINEINFO Mosswick_-_マシン情報 machine-info"
         "IDM_VERSION Mosswick_-_バージョン情報 version-dialog")
for d in "${dialogs[@]}"; do
  read -r command title shot <<<"$d"
  driver 1 command Mosswick "$(id_of "$command")"
  dialog=$(wait_window 1 "#32770" "${title//_/ }")
  if [ -n "$dialog" ]; then
    sleep 1
    window_shot 1 "$dialog" "$shot" "the ${shot//-/ }"
    driver 1 command "$dialog" 2
  else
    echo "run: the dialog ${title//_/ } did not open"
  fi
done

if [ ${#copies[@]} -eq 2 ]; then
  # A popup from copy 1 opens its own window at copy 2: reading, then replying.
  driver 1 command Mosswick "$(id_of IDM_POPUPMODE)"
  driver 1 set-text Mosswick "$(id_of IDC_INPUT)" "$(hex "三時の会議、資料は印刷して持ってきてください。")"
  driver 1 command Mosswick "$(id_of IDM_SEND)"
  driver 1 command Mosswick "$(id_of IDM_POPUPMODE)"
  popup=$(wait_window 2 "#32770" "Mosswick - 受信")
  if [ -n "$popup" ]; then
    sleep 1
    desktop_shot 2 popup-read "a popup window (reading)"
    driver 2 command "$popup" "$(id_of IDC_POPUP_REPLY)"
    driver 2 set-text "$popup" "$(id_of IDC_POPUP_TEXT)" "$(hex "了解です。十部用意します。")"
    sleep 1
    desktop_shot 2 popup-reply "a popup window (replying)"
    driver 2 command "$popup" "$(id_of IDC_POPUP_SEND)"
    back=$(wait_window 1 "#32770" "Mosswick - 受信")
    [ -n "$back" ] && driver 1 command "$back" 1
  else
    echo "run: the popup did not open at copy 2"
  fi

  # Copy 1 waits in the tray: its icon's menu, then the box a new line brings.
  driver 1 command Mosswick "$(id_of IDM_GOTOTRAY)"
  sleep 1
  driver 1 post Mosswick "$(id_of UM_TRAYNOTIFY)" "$(id_of IDC_TRAYICON)" $((0x204))
  sleep 1
  desktop_shot 1 tray-menu "the tray icon and its menu"
  driver 1 post Mosswick $((0x1F)) 0 0
  sleep 0.5
  driver 2 set-text Mosswick "$(id_of IDC_INPUT)" "$(hex "お先に会議室へ行っています。")"
  driver 2 command Mosswick "$(id_of IDM_SEND)"
  notice=$(wait_window 1 "#32770" "Mosswick - メッセージの到着")
  if [ -n "$notice" ]; then
    sleep 1
    desktop_shot 1 arrival-notice "an arrival notice"
  else
    echo "run: no arrival notice at copy 1"
  fi
fi

if [ -n "$update_docs" ]; then
  mkdir -p docs/screenshots
  for i in "${copies[@]}"; do
    [ -n "${shots[$i]:-}" ] || continue
    cp "${shots[$i]}" "docs/screenshots/type${views[$i]}.png"
    echo "run: copied to docs/screenshots/type${views[$i]}.png"
  done
  for name in "${extra_shots[@]}"; do
    cp "$RUN/$name.png" "docs/screenshots/$name.png"
    echo "run: copied to docs/screenshots/$name.png"
  done
  [ ${#shots[@]} -eq 2 ] || echo "run: docs/screenshots/ not fully updated (one copy only, or a screenshot failed)"
fi

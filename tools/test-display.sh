# Sourced by the scripts that run the real program under Wine in a scratch
# directory of their own (MW_SYSTEST_DIR): its virtual display and the
# clean-up of the Wine prefixes the run made.

xvfb_pid=""

# Stops the wineserver of every prefix the run made, and the display.
stop_test_wine() {
  local prefix
  for prefix in "$MW_SYSTEST_DIR"/prefixes/*; do
    [ -d "$prefix" ] && WINEPREFIX=$prefix wineserver -k 2>/dev/null
  done
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  return 0
}

# A display of our own: Xvfb picks a free number and tells it through
# -displayfd. Exports DISPLAY; exits with a message naming WHO when Xvfb does
# not start.
start_test_display() {
  local who=$1 display_file=$MW_SYSTEST_DIR/display
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >"$MW_SYSTEST_DIR/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
  [ -s "$display_file" ] || { echo "$who: Xvfb did not start (see $MW_SYSTEST_DIR/xvfb.log)"; exit 1; }
  export DISPLAY=":$(head -1 "$display_file")"
}

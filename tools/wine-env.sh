# Sourced: the environment every Wine run of the project uses. A private prefix
# under build/, no Wine debug output, and the Japanese locale so that Wine's
# ANSI code page is 932.
MOSSWICK_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$MOSSWICK_ROOT/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export WINEARCH=win64

# Creates the prefix once: wineboot, then a font replacement so that
# "ＭＳ Ｐゴシック" is drawn with the IPA Gothic font.
mosswick_wine_prefix() {
  if [ -f "$WINEPREFIX/.mosswick-ready" ]; then
    mosswick_wine_marlett
    return 0
  fi
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
  local reg; reg=$(mktemp --suffix=.reg)
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n' >"$reg"
  for face in "ＭＳ Ｐゴシック" "ＭＳ ゴシック" "MS PGothic" "MS Gothic" "MS UI Gothic" "MS Shell Dlg" "MS Shell Dlg 2"; do
    printf '"%s"="IPAPGothic"\r\n' "$face" >>"$reg"
  done
  # regedit reads the file in the ANSI code page.
  iconv -f UTF-8 -t CP932 "$reg" >"$reg.932"
  wine regedit "$reg.932" >/dev/null 2>&1 || true
  # The help page and the message log open through the shell's "open" verb;
  # the prefix has no association for either type by itself.
  wine reg add 'HKCR\.html' /ve /d htmlfile /f >/dev/null 2>&1 || true
  wine reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null 2>&1 || true
  wineserver -w || true
  rm -f "$reg" "$reg.932"
  mosswick_wine_marlett
  touch "$WINEPREFIX/.mosswick-ready"
}

# The title bar's buttons are glyphs of the Marlett font; Wine ships it but
# loads it only from the prefix's font folder, and draws letters without it.
mosswick_wine_marlett() {
  local fonts=$WINEPREFIX/drive_c/windows/Fonts
  [ -f "$fonts/marlett.ttf" ] || [ ! -f /usr/share/wine/fonts/marlett.ttf ] && return 0
  mkdir -p "$fonts"
  cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
}

# Sourced: the environment every Wine run of the project uses. A private prefix
# under build/, no Wine debug output, and the locale Wine runs in, which sets
# its ANSI code page: MW_LOCALE, by default ja_JP.UTF-8 (code page 932, as on
# a Japanese Windows); en_US.UTF-8 gives 1252 (an English Windows),
# zh_CN.UTF-8 936 (a Chinese Windows) and hi_IN.UTF-8 65001 (Wine gives a
# locale without an ANSI code page of its own UTF-8, as Windows' UTF-8 option
# does). Each locale has its own prefix, build/wineprefix for ja_JP and
# build/wineprefix-<locale> for the others: Wine keeps the locale's settings
# in the prefix's registry, and the processes a prefix keeps running (its
# desktop, its services) stay in the locale they started in.
MOSSWICK_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export MW_LOCALE=${MW_LOCALE:-ja_JP.UTF-8}
if [ "$MW_LOCALE" = ja_JP.UTF-8 ]; then
  export WINEPREFIX=${WINEPREFIX:-$MOSSWICK_ROOT/build/wineprefix}
else
  export WINEPREFIX=${WINEPREFIX:-$MOSSWICK_ROOT/build/wineprefix-${MW_LOCALE%%.*}}
fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LANG=$MW_LOCALE LC_ALL=$MW_LOCALE
# Without the locale on this machine Wine would quietly run in English.
if ! locale -a 2>/dev/null | grep -qix "${MW_LOCALE/UTF-8/utf8}"; then
  echo "wine-env: the locale $MW_LOCALE is missing (tools/setup.sh generates it)" >&2
fi
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
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n' >"$reg"
  for face in "ＭＳ Ｐゴシック" "ＭＳ ゴシック" "MS PGothic" "MS Gothic" "MS UI Gothic" "MS Shell Dlg" "MS Shell Dlg 2"; do
    printf '"%s"="IPAPGothic"\r\n' "$face" >>"$reg"
  done
  # In UTF-16 (with its byte-order mark), regedit reads the names as they
  # are whatever the ANSI code page; a REGEDIT4 file would be read in it.
  iconv -f UTF-8 -t UTF-16 "$reg" >"$reg.utf16"
  wine regedit "$reg.utf16" >/dev/null 2>&1 || true
  # The help page and the message log open through the shell's "open" verb;
  # the prefix has no association for either type by itself.
  wine reg add 'HKCR\.html' /ve /d htmlfile /f >/dev/null 2>&1 || true
  wine reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null 2>&1 || true
  wineserver -w || true
  rm -f "$reg" "$reg.utf16"
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

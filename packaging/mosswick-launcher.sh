#!/bin/bash
# Starts Mosswick under Wine for this user (installed as bin/mosswick by
# tools/install-linux.sh).
#
# The program keeps Mosswick.ini and Mosslog.txt beside its own file, so it
# runs from a data folder of the user's, ~/.local/share/mosswick/ (or
# $XDG_DATA_HOME/mosswick/), where the installed Mosswick.exe is copied
# (again when the installed one changes) and the help page is linked. Wine
# runs in a prefix of its own, WINEPREFIX (default: wineprefix/ in that
# folder), made on the first start, with the Japanese locale so that Wine's
# ANSI code page is 932, and a Japanese font standing in for the Windows ones.
set -euo pipefail

fail() { echo "mosswick: $*" >&2; exit 1; }

# Installed files: share/mosswick/ beside the bin/ this launcher is in.
program_dir=$(cd "$(dirname "$(readlink -f "$0")")/../share/mosswick" 2>/dev/null && pwd) ||
  fail "the program files (share/mosswick/) are missing beside $(dirname "$0")"
[ -f "$program_dir/Mosswick.exe" ] || fail "$program_dir/Mosswick.exe is missing"
data_dir=${XDG_DATA_HOME:-$HOME/.local/share}/mosswick
command -v wine >/dev/null || fail "Wine is not installed (Debian: sudo apt install wine wine64)"
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "mosswick: the ja_JP.UTF-8 locale is missing, Japanese texts will not show;" \
       "make it with: sudo localedef -i ja_JP -f UTF-8 ja_JP.UTF-8" >&2
fi

# Copies the file when the copy differs from it; links a file or folder.
refresh_copy() { cmp -s "$1" "$2" || cp -f "$1" "$2"; }
refresh_link() {
  if [ -e "$1" ]; then
    if [ -L "$2" ] || [ ! -e "$2" ]; then ln -sfn "$1" "$2"; fi
  elif [ -L "$2" ]; then
    rm -f "$2"
  fi
}

mkdir -p "$data_dir"
# With the default PREFIX the installed folder is the data folder itself.
if [ ! "$program_dir/Mosswick.exe" -ef "$data_dir/Mosswick.exe" ]; then
  refresh_copy "$program_dir/Mosswick.exe" "$data_dir/Mosswick.exe"
  refresh_link "$program_dir/Mosswick.html" "$data_dir/Mosswick.html"
  refresh_link "$program_dir/Mosswick-help" "$data_dir/Mosswick-help"
fi

export WINEPREFIX=${WINEPREFIX:-$data_dir/wineprefix}
# Wine's menu builder would put entries and file types of Wine's own
# programs on the user's desktop; Mono and Gecko are left out as the
# project's set-up leaves them out.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}
# The project's Wine set-up, installed beside the program: LANG and LC_ALL
# ja_JP.UTF-8, WINEDEBUG, and mosswick_wine_prefix, which makes the prefix once (wineboot -i, the font
# replacements, the "open" verb for the help page and the log).
# shellcheck source=tools/wine-env.sh
source "$program_dir/wine-env.sh"
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
[ -f "$WINEPREFIX/.mosswick-ready" ] ||
  echo "mosswick: preparing the Wine prefix $WINEPREFIX (the first start takes a minute)" >&2
mosswick_wine_prefix

cd "$data_dir"
exec wine "$data_dir/Mosswick.exe"

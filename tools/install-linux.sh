#!/bin/bash
# Installs Mosswick on a Linux desktop: the Windows program with its help page
# and the project's Wine set-up (share/mosswick/), the launcher that runs it
# under Wine (bin/mosswick), a menu entry (share/applications/mosswick.desktop)
# and its icon (share/icons/hicolor/48x48/apps/mosswick.png).
#   tools/install-linux.sh      (or: make install-linux)
# PREFIX is where it goes (default ~/.local). DESTDIR, when set, is put before
# every path written, to stage a package; the files still name PREFIX.
# MW_BUILD_WIN names the Windows build tree (default build/win).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_WIN=${MW_BUILD_WIN:-$ROOT/build/win}
PREFIX=${PREFIX:-$HOME/.local}
DESTDIR=${DESTDIR:-}

die() { echo "install-linux: $*" >&2; exit 1; }

# The launcher's path as the Exec key wants it: bare when it holds only plain
# characters, else in double quotes with ", `, $ and \ escaped, every \ then
# doubled once more for the key's own escapes, and % written %%.
exec_value() {
  local path=$1
  if [[ "$path" =~ ^[A-Za-z0-9/._+-]+$ ]]; then
    printf '%s' "$path"
    return
  fi
  path=$(printf '%s' "$path" | sed -e 's/[\\"`$]/\\&/g' -e 's/\\/\\\\/g' -e 's/%/%%/g')
  printf '"%s"' "$path"
}

case $PREFIX in
  /*) ;;
  *) die "PREFIX must be an absolute path, not '$PREFIX'" ;;
esac
[[ "$PREFIX" != *$'\n'* ]] || die "PREFIX holds a line break"
for file in Mosswick.exe Mosswick.html; do
  [ -f "$BUILD_WIN/$file" ] || die "$BUILD_WIN/$file is missing (build first: make build)"
done

root=$DESTDIR$PREFIX
share=$root/share/mosswick
applications=$root/share/applications
icons=$root/share/icons/hicolor/48x48/apps
install -d "$root/bin" "$share" "$applications" "$icons"

install -m 644 "$BUILD_WIN/Mosswick.exe" "$BUILD_WIN/Mosswick.html" "$ROOT/tools/wine-env.sh" "$share/"
rm -rf "$share/Mosswick-help"
if [ -d "$BUILD_WIN/Mosswick-help" ]; then
  cp -r "$BUILD_WIN/Mosswick-help" "$share/"
  chmod -R u=rwX,go=rX "$share/Mosswick-help"
fi
install -m 755 "$ROOT/packaging/mosswick-launcher.sh" "$root/bin/mosswick"

entry=$(<"$ROOT/packaging/mosswick.desktop.in")
launcher=$(exec_value "$PREFIX/bin/mosswick")
printf '%s\n' "${entry//@LAUNCHER@/"$launcher"}" >"$applications/mosswick.desktop"
chmod 644 "$applications/mosswick.desktop"

python3 "$ROOT/packaging/make-icon.py" "$icons/mosswick.png" 48
chmod 644 "$icons/mosswick.png"

echo "install-linux: installed under $root"
if [ -z "$DESTDIR" ] && [[ ":$PATH:" != *":$PREFIX/bin:"* ]]; then
  echo "install-linux: $PREFIX/bin is not on PATH; start Mosswick from the menu or as $PREFIX/bin/mosswick"
fi

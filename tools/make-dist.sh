#!/bin/bash
# Packs the Windows program for users: Mosswick-<version>.zip holding one
# folder Mosswick-<version>/ with Mosswick.exe, its help page Mosswick.html
# (and the page's pictures, Mosswick-help/, when the build has them) and
# README.txt. The version is the product version of resources/version.rc,
# trailing ".0" parts left off ("1.16.0.0" names Mosswick-1.16.zip).
#   tools/make-dist.sh [OUTPUT_DIR]      (default dist/; `make dist`)
# MW_BUILD_WIN names the Windows build tree (default build/win).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_WIN=${MW_BUILD_WIN:-$ROOT/build/win}
OUT=${1:-$ROOT/dist}

die() { echo "make-dist: $*" >&2; exit 1; }

product_version() {
  local version
  version=$(sed -n 's/.*VALUE *"ProductVersion", *"\([0-9.]*\)".*/\1/p' "$ROOT/resources/version.rc" | head -1)
  [[ "$version" =~ ^[0-9]+(\.[0-9]+)*$ ]] || die "no ProductVersion in resources/version.rc"
  while [[ "$version" =~ ^[0-9]+\.[0-9]+(\.[0-9]+)*\.0$ ]]; do
    version=${version%.0}
  done
  echo "$version"
}

# The About box writes its version out as text; say so when the two differ,
# for one of them has been forgotten.
check_about_box() {
  local shown
  shown=$(sed -n 's/.*"Mosswick  *Version \([0-9.]*\)".*/\1/p' "$ROOT/resources/dialogs.rc" | head -1)
  if [ -n "$shown" ] && [ "$shown" != "$1" ]; then
    echo "make-dist: warning: resources/version.rc says $1, the About box (resources/dialogs.rc) says $shown" >&2
  fi
}

version=$(product_version)
check_about_box "$version"
name=Mosswick-$version
for file in Mosswick.exe Mosswick.html; do
  [ -f "$BUILD_WIN/$file" ] || die "$BUILD_WIN/$file is missing (build first: make build)"
done

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
folder=$stage/$name
mkdir "$folder"
cp "$BUILD_WIN/Mosswick.exe" "$BUILD_WIN/Mosswick.html" "$folder/"
[ -d "$BUILD_WIN/Mosswick-help" ] && cp -r "$BUILD_WIN/Mosswick-help" "$folder/"
# Notepad on Windows reads UTF-8 without doubt only with the byte order mark,
# and older versions break lines only at CR LF.
{
  printf '\xef\xbb\xbf'
  sed -e "s/@VERSION@/$version/g" -e 's/\r*$/\r/' "$ROOT/packaging/README.txt"
} >"$folder/README.txt"

# Paths relative to the stage, so every entry begins with the folder's name.
# -X leaves out Unix owners and extra time stamps.
(cd "$stage" && zip -q -r -X "$name.zip" "$name")
mkdir -p "$OUT"
mv -f "$stage/$name.zip" "$OUT/$name.zip"
echo "$OUT/$name.zip"

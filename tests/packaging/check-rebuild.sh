#!/usr/bin/env bash
# The package rebuilt elsewhere is the same package: two fresh clones of the
# checkout's last commit, in two folders of different names and depths, their
# files dated years apart, one built under the real clock and one under a
# clock years ahead (faketime), each packaged by scripts/package as a user
# would; the two .deb files must be the same bytes. Only the program is
# built, without ccache, so that neither build can take the other's objects.
# Usage: check-rebuild.sh <source-dir> <version>
set -euo pipefail

source_dir=$1
version=$2

top=$(git -C "$source_dir" rev-parse --show-toplevel) ||
  { echo "FAIL: $source_dir is not a git checkout"; exit 1; }
echo "checking $(git -C "$top" rev-parse --short HEAD), the last commit of $top"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
arch=$(dpkg --print-architecture)
deb_name=orvane_${version}_${arch}.deb

# Clones the last commit into the folder, dates every file in it, and
# packages it with the command given before scripts/package (if any).
package_in() {
  local folder=$1 date=$2
  shift 2
  mkdir -p "$(dirname "$folder")"
  git clone --quiet --no-hardlinks "$top" "$folder"
  find "$folder" -path "$folder/.git" -prune -o -exec touch -h -d "$date" {} +
  if ! (cd "$folder" &&
        env -u CMAKE_CXX_COMPILER_LAUNCHER -u SOURCE_DATE_EPOCH CCACHE_DISABLE=1 \
          "$@" scripts/package) >"$folder.log" 2>&1; then
    tail -n 40 "$folder.log"
    echo "FAIL: scripts/package failed in $folder"
    exit 1
  fi
  [ -f "$folder/build/release/$deb_name" ] || { echo "FAIL: no $deb_name made in $folder"; exit 1; }
}

package_in "$work/a/orvane" "2001-02-03 04:05:06 UTC"
package_in "$work/another/folder/with/a/longer/name/src" "2024-10-11 12:13:14 UTC" \
  faketime -f "@2031-05-06 07:08:09"

first=$work/a/orvane/build/release/$deb_name
second=$work/another/folder/with/a/longer/name/src/build/release/$deb_name
if cmp -s "$first" "$second"; then
  echo "$deb_name is the same, byte for byte, from both clones"
  exit 0
fi

echo "FAIL: the packages from the two clones differ"
for side in first second; do
  mkdir -p "$work/$side"
  dpkg-deb -R "${!side}" "$work/$side/root"
done
diff -r "$work/first/root/DEBIAN" "$work/second/root/DEBIAN" || true
diff -rq "$work/first/root" "$work/second/root" || true
if ! cmp -s "$work/first/root/usr/bin/orvane" "$work/second/root/usr/bin/orvane"; then
  echo "the program's differing bytes (offset, octal values), first ten:"
  cmp -l "$work/first/root/usr/bin/orvane" "$work/second/root/usr/bin/orvane" | head -n 10 || true
fi
exit 1

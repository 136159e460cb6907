#!/usr/bin/env bash
# Builds the Debian package from this build tree, as scripts/package does but
# in a folder of its own, and checks it:
#  - its name, fields and contents: the program, the desktop file, the icons,
#    the metainfo, the manual page, the copyright and changelog, all owned by
#    root with the usual permissions;
#  - Depends names the package of every library the program links, as
#    dpkg-shlibdeps computes it, and the font its captions are measured in;
#    Suggests names Qt's Wayland platform;
#  - lintian reports no error and no warning;
#  - the program carries no library search path of its own (RPATH or
#    RUNPATH) and has the distribution's hardening: PIE, stack protector,
#    RELRO with BIND_NOW;
#  - packing the same build tree again, a moment later, gives the same
#    bytes: nothing in the package depends on when it was made;
#  - the files agree with each other once installed: the desktop file starts
#    a program that is there, its icon is there at every size, the metainfo
#    points at it;
#  - the program as packaged starts (on Qt's offscreen platform) and is still
#    running three seconds later: nothing it needs is missing.
# Usage: check-deb.sh <cpack> <build-dir> <version> <app-id> <icon-size>...
set -euo pipefail

cpack=$1
build=$2
version=$3
app_id=$4
shift 4
sizes=("$@")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# --- build it ------------------------------------------------------------------
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" > "$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "FAIL: cpack could not make the package"
  exit 1
fi
arch=$(dpkg --print-architecture)
deb=$work/out/orvane_${version}_${arch}.deb
if [ ! -f "$deb" ]; then
  ls "$work/out"
  echo "FAIL: no $(basename "$deb") made"
  exit 1
fi

# --- reproducible -----------------------------------------------------------------
# A second package from the same tree, a second later: any time stamp taken
# from the clock rather than from SOURCE_DATE_EPOCH would make them differ.
sleep 1
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/again" > "$work/cpack-again.log" 2>&1; then
  cat "$work/cpack-again.log"
  fail "cpack could not make the package a second time"
elif ! cmp "$deb" "$work/again/$(basename "$deb")"; then
  fail "two packages made from the same build tree differ"
  diff <(ar tv "$deb") <(ar tv "$work/again/$(basename "$deb")") || true
fi

# --- fields ----------------------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
dpkg-deb -I "$deb" | sed -n '/^ [A-Z]/p'
[ "$(field Package)" = orvane ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)'"
for f in Maintainer Section Homepage Description; do
  [ -n "$(field "$f")" ] || fail "no $f field"
done

# Depends, one package name a line, versions dropped.
depends=$(field Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//' | sort -u)
depends_on() { grep -qx "$1" <<< "$depends"; }
for p in libqt6core6 libqt6gui6 libqt6widgets6 fonts-liberation; do
  depends_on "$p" || fail "Depends lacks $p"
done
# Qt is asked for at least the version the program was built against, which
# only dpkg-shlibdeps works out.
grep -Eq 'libqt6widgets6 \(>= [0-9]' <<< "$(field Depends)" || fail "Depends gives no minimum Qt version"
# Wayland desktops without Xwayland need Qt's Wayland platform.
field Suggests | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -qx qt6-wayland ||
  fail "Suggests does not name qt6-wayland"

# --- contents ------------------------------------------------------------------
dpkg-deb -c "$deb" > "$work/contents"
mode_of() { awk -v p="./$1" '$6 == p { print $1 }' "$work/contents"; }
expected_files=(
  usr/bin/orvane
  "usr/share/applications/$app_id.desktop"
  "usr/share/metainfo/$app_id.metainfo.xml"
  "usr/share/icons/hicolor/scalable/apps/$app_id.svg"
  usr/share/man/man1/orvane.1.gz
  usr/share/doc/orvane/copyright
  usr/share/doc/orvane/changelog.gz
)
for size in "${sizes[@]}"; do
  expected_files+=("usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
for f in "${expected_files[@]}"; do
  mode=$(mode_of "$f")
  if [ -z "$mode" ]; then
    fail "the package lacks /$f"
  elif [ "$f" = usr/bin/orvane ]; then
    [ "$mode" = -rwxr-xr-x ] || fail "/$f is $mode"
  else
    [ "$mode" = -rw-r--r-- ] || fail "/$f is $mode"
  fi
done
awk '$2 != "root/root" { print "FAIL: not owned by root: " $6 }' "$work/contents" | grep . && fail "owners"
awk '$1 ~ /^d/ && $1 != "drwxr-xr-x" { print "FAIL: folder " $6 " is " $1 }' "$work/contents" | grep . && fail "folder permissions"
awk '$6 !~ /^\.\/usr\// { print "FAIL: outside /usr: " $6 }' "$work/contents" | grep . && fail "files outside /usr"

# --- lintian -------------------------------------------------------------------
lintian --info --pedantic --tag-display-limit 0 "$deb" > "$work/lintian" 2>&1 || true
grep -v '^running with root privileges' "$work/lintian" || true
grep -q '^E:' "$work/lintian" && fail "lintian reports errors"
grep -q '^W:' "$work/lintian" && fail "lintian reports warnings"

# --- the files, installed ------------------------------------------------------
root=$work/root
dpkg-deb -x "$deb" "$root"

if [ "$(zcat "$root/usr/share/doc/orvane/changelog.gz" | head -n 1)" != "orvane ($version) unstable; urgency=medium" ]; then
  fail "the changelog's first entry is not for $version"
fi
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
  "$root/usr/share/doc/orvane/copyright" || fail "the copyright file is not in the machine-readable form"

# The loader finds Qt where the system keeps it, never through a path the
# program names itself.
search_path=$(readelf -d "$root/usr/bin/orvane" | grep -E '\((RPATH|RUNPATH)\)' || true)
[ -z "$search_path" ] || fail "the program names its own library search path: $search_path"
# Two of hardening-check's checks cannot tell here. _FORTIFY_SOURCE is on,
# but the program calls no C library function whose buffer size the compiler
# could not check at build time (only memcpy and memmove with proven sizes),
# so the binary is the same with or without it. And Debian 12's C start-up
# files lack control-flow protection, so no program linked with them has it.
if ! hardening-check --nofortify --nocfprotection "$root/usr/bin/orvane" > "$work/hardening" 2>&1; then
  cat "$work/hardening"
  fail "hardening-check finds the program without some of the hardening"
fi

# Every library the program links must come from a package Depends names.
# The package holding a library, found by the path the loader takes it from;
# with /usr merged, dpkg may know that path with or without the /usr.
owner_of() {
  local path=$1 alt
  case $path in /usr/*) alt=${path#/usr} ;; *) alt=/usr$path ;; esac
  { dpkg -S "$path" || dpkg -S "$alt"; } 2>/dev/null | head -n 1 | sed 's/[:,].*//'
}
needed=$(objdump -p "$root/usr/bin/orvane" | awk '$1 == "NEEDED" { print $2 }')
[ -n "$needed" ] || fail "objdump finds no library the program links"
resolved=$(ldd "$root/usr/bin/orvane")
for soname in $needed; do
  path=$(awk -v l="$soname" '$1 == l && $2 == "=>" { print $3 }' <<< "$resolved")
  owner=
  [ -n "$path" ] && owner=$(owner_of "$path")
  if [ -z "$owner" ]; then
    fail "no installed package holds $soname (${path:-not found})"
  elif ! depends_on "$owner"; then
    fail "the program links $soname, from $owner, which Depends does not name"
  fi
done

desktop=$root/usr/share/applications/$app_id.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the installed desktop file"
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
[ -x "$root/usr/bin/${exec_line%% *}" ] || fail "Exec=$exec_line is not a program in /usr/bin"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ "$icon" = "$app_id" ] || fail "Icon=$icon, not $app_id"
for size in "${sizes[@]}"; do
  png=$root/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png
  [ -f "$png" ] || { fail "no ${size}x${size} icon $icon.png"; continue; }
  [ "$(identify -format '%wx%h' "$png")" = "${size}x${size}" ] || fail "the ${size}x${size} icon is $(identify -format '%wx%h' "$png")"
done
metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml
grep -q "<id>$app_id</id>" "$metainfo" || fail "the metainfo's id is not $app_id"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
  fail "the metainfo does not launch $app_id.desktop"
# Checks the metainfo against the tree around it: the desktop file it names is there.
appstreamcli validate-tree --no-net "$root/usr" || fail "appstreamcli validate-tree"

# --- it starts ---------------------------------------------------------------------
mkdir -p "$work/config"
status=0
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" \
  timeout 3 "$root/usr/bin/orvane" > "$work/run.log" 2>&1 || status=$?
if [ "$status" -ne 124 ]; then
  cat "$work/run.log"
  fail "the packaged program ended by itself (status $status) instead of staying open"
fi

if [ "$failures" -gt 0 ]; then
  echo "$failures package check(s) failed"
  exit 1
fi
echo "$(basename "$deb") is complete, reproducible and hardened, lintian finds nothing, and the program in it starts"

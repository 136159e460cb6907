#!/usr/bin/env bash
# Checks the icons kept in resources/icons/ against the picture they are made
# from, resources/orvane-icon.xpm:
#  - scripts/make-icons, run again, gives the same pixels (the PNGs were not
#    left behind after a change to the XPM, nor edited by hand);
#  - each PNG has its size, and was enlarged by repeating pixels: it has no
#    colour the XPM lacks, and the sizes that are whole multiples of the
#    original shrink back to it exactly;
#  - the SVG, drawn at 32, 64 and 256 pixels, gives the PNGs of those sizes.
# Usage: check-icons.sh <source-dir> <size>...
set -euo pipefail

source_dir=$1
shift
sizes=("$@")
icons=$source_dir/resources/icons
xpm=$source_dir/resources/orvane-icon.xpm

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Number of pixels that differ between two pictures ("compare" writes it to
# standard error and exits 1 when they differ, 2 when it cannot compare).
differing_pixels() {
  local n
  n=$(compare -metric AE "$1" "$2" null: 2>&1) || [ $? -eq 1 ] || { echo "cannot compare $1 and $2: $n" >&2; echo -1; return; }
  echo "$n"
}

read -r original_width original_height < <(identify -format '%w %h\n' "$xpm")
original_colours=$(identify -format '%k\n' "$xpm")

"$source_dir/scripts/make-icons" "$work/fresh" > /dev/null

for size in "${sizes[@]}"; do
  png=$icons/orvane-$size.png
  [ -f "$png" ] || { fail "$png is missing"; continue; }

  n=$(differing_pixels "$png" "$work/fresh/orvane-$size.png")
  [ "$n" = 0 ] || fail "orvane-$size.png differs from what scripts/make-icons makes now ($n pixels)"

  read -r w h < <(identify -format '%w %h\n' "$png")
  [ "${w}x${h}" = "${size}x${size}" ] || fail "orvane-$size.png is ${w}x${h}, not ${size}x${size}"

  colours=$(identify -format '%k\n' "$png")
  [ "$colours" = "$original_colours" ] ||
    fail "orvane-$size.png has $colours colours, the XPM $original_colours: it was smoothed, not enlarged"

  if [ $((size % original_width)) -eq 0 ]; then
    convert "$png" -sample "${original_width}x${original_height}" "PNG32:$work/back-$size.png"
    n=$(differing_pixels "$work/back-$size.png" "$xpm")
    [ "$n" = 0 ] || fail "orvane-$size.png does not shrink back to the XPM ($n pixels differ)"
  fi
done

svg=$icons/orvane.svg
if [ -f "$svg" ]; then
  cmp -s "$svg" "$work/fresh/orvane.svg" || fail "orvane.svg differs from what scripts/make-icons makes now"
  for size in 32 64 256; do
    rsvg-convert -w "$size" -h "$size" "$svg" -o "$work/svg-$size.png"
    n=$(differing_pixels "$work/svg-$size.png" "$icons/orvane-$size.png")
    [ "$n" = 0 ] || fail "orvane.svg drawn at $size pixels differs from orvane-$size.png ($n pixels)"
  done
else
  fail "$svg is missing"
fi

if [ "$failures" -gt 0 ]; then
  echo "$failures icon check(s) failed"
  exit 1
fi
echo "Icons match resources/orvane-icon.xpm: ${sizes[*]} and the SVG"

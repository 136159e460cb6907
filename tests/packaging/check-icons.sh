#!/usr/bin/env bash
# Checks the icons kept in resources/icons/:
#  - each size is there and has its size;
#  - scripts/make-icons, run again, gives the same pixels and the same SVG
#    (the files were not left behind after a change to a drawing, nor edited
#    by hand);
#  - the 32-pixel icon is resources/orvane-icon.xpm, pixel for pixel;
#  - each is drawn in the palette, without smoothing, and at every size its
#    text lines are still separate lines (at least three bands of navy rows
#    with white between them) next to the red mark;
#  - the SVG is a square picture that, drawn at 256 pixels, gives the
#    256-pixel PNG, and drawn at 16 pixels still shows its lines.
# Usage: check-icons.sh <source-dir> <size>...
set -euo pipefail

source_dir=$1
shift
sizes=("$@")
icons=$source_dir/resources/icons
xpm=$source_dir/resources/orvane-icon.xpm
palette='#000000 #800000 #FFFFFF #C0C0C0 #000080 #FF0000 #FF8080'

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

# Each pixel of a picture as "x y #RRGGBBAA", opaque ones only.
opaque_pixels() {
  convert "$1" -depth 8 txt:- |
    sed -n 's/^\([0-9]*\),\([0-9]*\): ([^)]*) *\(#[0-9A-F]\{8\}\).*/\1 \2 \3/p' |
    awk '$3 !~ /00$/'
}

# How many bands of consecutive rows hold a pixel the awk condition picks
# ($3 is the colour, r g b its parts).
bands_of() {
  awk "function hex(s) { return index(\"0123456789ABCDEF\", substr(s, 1, 1)) * 16 + index(\"0123456789ABCDEF\", substr(s, 2, 1)) - 17 }
       { r = hex(substr(\$3, 2, 2)); g = hex(substr(\$3, 4, 2)); b = hex(substr(\$3, 6, 2)) }
       $1 { hit[\$2] = 1 }
       END { n = 0; for (y = 0; y <= 4096; y++) { if ((y in hit) && !((y - 1) in hit)) n++ } print n }"
}

"$source_dir/scripts/make-icons" "$work/fresh" > /dev/null

for size in "${sizes[@]}"; do
  png=$icons/orvane-$size.png
  [ -f "$png" ] || { fail "$png is missing"; continue; }

  read -r w h < <(identify -format '%w %h\n' "$png")
  [ "${w}x${h}" = "${size}x${size}" ] || fail "orvane-$size.png is ${w}x${h}, not ${size}x${size}"

  n=$(differing_pixels "$png" "$work/fresh/orvane-$size.png")
  [ "$n" = 0 ] || fail "orvane-$size.png differs from what scripts/make-icons makes now ($n pixels)"

  opaque_pixels "$png" > "$work/pixels"
  strays=$(awk -v palette="$palette" 'BEGIN { split(palette, p, " "); for (i in p) ok[p[i] "FF"] = 1 }
                                      !($3 in ok) { print $3 }' "$work/pixels" | sort -u | head -n 3)
  [ -z "$strays" ] || fail "orvane-$size.png has colours outside the palette (smoothed?): $strays"

  lines=$(bands_of '$3 == "#000080FF"' < "$work/pixels")
  [ "$lines" -ge 3 ] || fail "orvane-$size.png shows $lines separate text lines, not at least 3"
  grep -q ' #FF0000FF$' "$work/pixels" || fail "orvane-$size.png has no red mark"
done

if [ -f "$icons/orvane-32.png" ]; then
  n=$(differing_pixels "$icons/orvane-32.png" "$xpm")
  [ "$n" = 0 ] || fail "orvane-32.png is not resources/orvane-icon.xpm ($n pixels differ)"
fi

# The Windows icon: what make-icons makes now, and every size readable.
ico=$icons/orvane.ico
cmp -s "$ico" "$work/fresh/orvane.ico" || fail "orvane.ico differs from what scripts/make-icons makes now"
ico_sizes=$(identify -format '%w ' "$ico" 2>/dev/null)
[ "$ico_sizes" = "$(printf '%s ' "${sizes[@]}")" ] ||
  fail "orvane.ico holds the sizes '$ico_sizes', not '${sizes[*]}'"

svg=$icons/orvane.svg
if [ -f "$svg" ]; then
  cmp -s "$svg" "$work/fresh/orvane.svg" || fail "orvane.svg differs from what scripts/make-icons makes now"
  view_box=$(sed -n 's/.*<svg [^>]*viewBox="\([^"]*\)".*/\1/p' "$svg")
  read -r _ _ vw vh <<< "$view_box"
  [ -n "$vw" ] && [ "$vw" = "$vh" ] || fail "orvane.svg is not square (viewBox '$view_box')"
  if rsvg-convert -w 256 -h 256 "$svg" -o "$work/svg-256.png"; then
    n=$(differing_pixels "$work/svg-256.png" "$icons/orvane-256.png")
    [ "$n" = 0 ] || fail "orvane.svg drawn at 256 pixels differs from orvane-256.png ($n pixels)"
    rsvg-convert -w 16 -h 16 "$svg" -o "$work/svg-16.png"
    # Drawn small the lines are lighter, but still bluer than the page.
    lines=$(opaque_pixels "$work/svg-16.png" | bands_of 'b > r + 48 && b > g + 48')
    [ "$lines" -ge 3 ] || fail "orvane.svg drawn at 16 pixels shows $lines text lines, not at least 3"
  else
    fail "rsvg-convert cannot draw orvane.svg"
  fi
else
  fail "$svg is missing"
fi

if [ "$failures" -gt 0 ]; then
  echo "$failures icon check(s) failed"
  exit 1
fi
echo "Icons ${sizes[*]} and the SVG are as scripts/make-icons draws them; the 32 is the XPM"

#!/usr/bin/env bash
# Orvane for Windows driven as a user drives it, under Wine on an X server
# with a window manager: keys typed into its windows, its clipboard read by
# another program, its registry read with Wine's reg.exe.
#
#   end-to-end.sh ORVANE.EXE
#
# 1. A first start with nothing stored: a title typed, Generate Tags, Copy To
#    Clipboard; another program pastes the title tag. Ctrl+Q stores the
#    window's place under HKCU\Software\Quillfern\Orvane\StartupPosition.
# 2. The next start shows the window where it was; moved and closed, the
#    stored numbers move by the same distance, in twips (15 a pixel).
# 3. The third start shows it at the new place; Preferences' OK writes the
#    fourteen default items.
# Needs WINEPREFIX set up and DISPLAY; every wait is bounded.
set -euo pipefail
exe=$1
key='HKCU\Software\Quillfern\Orvane'
. "$(dirname "${BASH_SOURCE[0]}")/steps.sh"

# Sets `window` to the visible window named exactly $1.
shown() {
  window=$(xdotool search --all --onlyvisible --name "^$1\$" 2>/dev/null | head -n1) || true
  [ -n "$window" ]
}
gone() { ! xdotool search --all --onlyvisible --name "^$1\$" >/dev/null 2>&1; }

client_corner() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
                           END {print x, y}'
}

keys_to() {
  local target=$1
  shift
  timeout 20 xdotool windowactivate --sync "$target" >/dev/null 2>&1 || true
  xdotool key --clearmodifiers --delay 50 "$@"
}

value() {
  timeout 60 wine reg query "$key\\$1" /v "$2" 2>/dev/null | tr -d '\r' |
    awk -v name="$2" '$1 == name {print $3}'
}

start() {
  wine "$exe" >/dev/null 2>&1 &
  pid=$!
  within 60 shown Orvane || { fail "run $1: no main window"; return 1; }
  main=$window
  within 10 settled
}
# Wine shows a window, then the window manager frames it and may move it:
# settled when two readings a little apart agree.
settled() {
  local before
  before=$(client_corner "$main")
  sleep 0.3
  [ "$(client_corner "$main")" = "$before" ]
}

quit() {
  keys_to "$main" ctrl+q
  within 60 gone Orvane || fail "run $1: still open after Ctrl+Q"
  timeout 60 wait "$pid" 2>/dev/null || true
  wineserver -w 2>/dev/null & local waiter=$!
  within 30 bash -c "! kill -0 $waiter 2>/dev/null" || kill "$waiter" 2>/dev/null || true
}

# --- 1. Nothing stored: type, generate, copy, paste elsewhere ----------------
timeout 60 wine reg delete "$key" /f >/dev/null 2>&1 || true
start 1
first=$(client_corner "$main")
# The focus starts on the Title check box; Tab goes on to its field.
keys_to "$main" Tab H e l l o space W i n e
keys_to "$main" Return
if within 60 shown Tags; then
  tags=$window
  keys_to "$tags" alt+c
  within 20 bash -c "xclip -o -selection clipboard 2>/dev/null | grep -q '<title>Hello Wine</title>'" ||
    fail "another program pastes '$(timeout 10 xclip -o -selection clipboard 2>/dev/null | head -c 200)'"
  keys_to "$tags" alt+o
  within 30 gone Tags || fail "the Tags window stayed open"
else
  fail "Generate Tags showed no Tags window"
fi
# The errors list comes up for the ticked items that had no value. (Esc in
# the Tags window is its Save To File, so Alt+O closes it.)
shown Errors && { keys_to "$window" Escape; within 30 gone Errors || fail "Errors stayed open"; }
quit 1
left1=$(value StartupPosition Left)
top1=$(value StartupPosition Top)
[[ "$left1" =~ ^-?[0-9]+$ && "$top1" =~ ^-?[0-9]+$ ]] ||
  fail "run 1 stored Left='$left1' Top='$top1', not two numbers"

# --- 2. Back where it was; moved, the stored place moves as far --------------
start 2
[ "$(client_corner "$main")" = "$first" ] ||
  fail "run 2 shows the window at $(client_corner "$main"), not at $first where run 1 left it"
xdotool windowmove --sync "$main" 300 200 >/dev/null 2>&1 || true
within 10 settled
moved=$(client_corner "$main")
quit 2
left2=$(value StartupPosition Left)
top2=$(value StartupPosition Top)
read -r x1 y1 <<<"$first"
read -r x2 y2 <<<"$moved"
[ "$((left2 - left1))" = "$(((x2 - x1) * 15))" ] && [ "$((top2 - top1))" = "$(((y2 - y1) * 15))" ] ||
  fail "moved from $first to $moved, the stored place went from $left1,$top1 to $left2,$top2"

# --- 3. At the new place; Preferences' OK stores the default items ----------
start 3
[ "$(client_corner "$main")" = "$moved" ] ||
  fail "run 3 shows the window at $(client_corner "$main"), not at $moved"
keys_to "$main" ctrl+p
if within 60 shown Preferences; then
  keys_to "$window" Return
  within 30 gone Preferences || fail "Preferences stayed open after Return (its OK)"
else
  fail "Ctrl+P showed no Preferences window"
fi
quit 3
stored=$(timeout 60 wine reg query "$key\\DefaultItems" 2>/dev/null | tr -d '\r' |
  awk '$2 == "REG_SZ" && ($3 == "0" || $3 == "1")' | wc -l)
[ "$stored" = 14 ] || fail "Preferences' OK stored $stored default items, not 14"

[ "$failed" = 0 ] && echo "ok   end to end under Wine: typed, generated, copied, placed, kept"
exit "$failed"

#!/usr/bin/env bash
# The main window's place kept from run to run on a desktop whose window
# manager draws frames: the program started as a user starts it and closed
# with Ctrl+Q, three times over one config folder with nothing stored at
# first, then twice from a stored position inside the screen and twice from
# one above and left of it. Each run must show the frame at the same place
# and leave the same numbers.
#
#   desktop-runs.sh [--on-screen] PROGRAM
#
# On a display without a window manager the frame is the client area itself.
# --on-screen leaves out the position off the screen, for window managers
# that move a new window onto the screen (GNOME's does).
# The program chooses its window system itself, as when a user starts it: on
# a Wayland desktop it must run through Xwayland to be found here.
set -euo pipefail
on_screen=0
[ "$1" = --on-screen ] && { on_screen=1; shift; }
program=$1
XDG_CONFIG_HOME=$(mktemp -d)
export XDG_CONFIG_HOME
unset QT_QPA_PLATFORM
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
conf=$XDG_CONFIG_HOME/Quillfern/Orvane.conf
failed=0
wm=0
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' && wm=1

# The outer top-left corner of a window, frame included: where the window
# manager put the client area, less the frame's left and top edges.
frame_corner() {
  local x y
  read -r x y < <(xwininfo -id "$1" |
    awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4} END {print x, y}')
  local left=0 top=0
  [ "$wm" = 0 ] ||
    read -r left _ top _ < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ,)
  echo "$((x - left)) $((y - top))"
}

# Runs the command until it succeeds, for at most twenty seconds: far above
# what a machine busy with other work takes, reached only when it never does.
within_limit() {
  local deadline=$((SECONDS + 20))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.05
  done
}

stored() {
  awk -F= '/^\[/ {section = $0} section == "[StartupPosition]" && $1 == "Left" {l = $2}
           section == "[StartupPosition]" && $1 == "Top" {t = $2} END {print l, t}' "$conf"
}

# Whether the program's main window is shown and, with a window manager,
# framed; sets `window`.
main_window_shown() {
  window=$(xdotool search --all --onlyvisible --pid "$pid" --name '^Orvane$' 2>/dev/null |
    head -n1) || true
  [ -n "$window" ] && { [ "$wm" = 0 ] || xprop -id "$window" _NET_FRAME_EXTENTS | grep -q =; }
}

ended() { ! kill -0 "$pid" 2>/dev/null; }

# Whether the window manager has let go of the window: it is off the root
# window's list of managed windows. Until then the manager may still act on
# the window's id, which the X server hands to the next program's window once
# this one is gone: GNOME's puts a window it lets go of back at its frame's
# corner, and so moved the next run's window, made at the stored position but
# not yet shown, to 0,0.
released() {
  local managed
  managed=$(xprop -root _NET_CLIENT_LIST) || return 1
  ! grep -qw "$(printf '0x%x' "$1")" <<<"$managed"
}

# Starts the program, prints "frame X Y, stored LEFT TOP" once it has closed.
run_once() {
  local pid window="" corner
  "$program" &
  pid=$!
  if ! within_limit main_window_shown; then
    kill "$pid" 2>/dev/null || true
    echo "no main window"
    return
  fi
  corner=$(frame_corner "$window")
  if [ "$wm" = 1 ]; then
    timeout 20 xdotool windowactivate --sync "$window" || true
  else
    timeout 20 xdotool windowfocus --sync "$window" || true
  fi
  xdotool key --clearmodifiers ctrl+q
  if ! within_limit ended; then
    kill "$pid"
    echo "frame $corner, still running after Ctrl+Q"
    return
  fi
  wait "$pid" || true
  if [ "$wm" = 1 ] && ! within_limit released "$window"; then
    echo "frame $corner, window still managed after the program ended"
    return
  fi
  echo "frame $corner, stored $(stored)"
}

expect() {
  local got
  got=$(run_once)
  if [ "$got" = "$2" ]; then
    echo "ok   $1: $got"
  else
    echo "FAIL $1: $got, expected $2"
    failed=1
  fi
}

for run in 1 2 3; do
  expect "run $run, nothing stored at first" "frame 0 0, stored 0 0"
done
printf '[StartupPosition]\nLeft=3000\nTop=1500\n' >"$conf"
for run in 1 2; do
  expect "run $run from Left=3000 Top=1500" "frame 200 100, stored 3000 1500"
done
if [ "$on_screen" = 0 ]; then
  printf '[StartupPosition]\nLeft=-450\nTop=-300\n' >"$conf"
  for run in 1 2; do
    expect "run $run from Left=-450 Top=-300" "frame -30 -20, stored -450 -300"
  done
fi
exit "$failed"

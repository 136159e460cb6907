#!/usr/bin/env bash
# The program as a native Wayland client, on a desktop with no X server (run
# under scripts/with-wayland): it opens; About (Ctrl+A) and Robot Values
# (Alt+V) open above it, kept with it by the compositor, and close again with
# Enter; Ctrl+Q still reaches it after that and ends the run; and the stored
# settings are left byte for byte as they were, since a native Wayland client
# is never told where its window stands.
#
#   wayland-runs.sh [--asked] PROGRAM
#
# --asked: the same on a desktop with Xwayland (scripts/with-wayland --x11),
# the user asking for Wayland with QT_QPA_PLATFORM=wayland.
# The windows are followed in the program's own Wayland protocol log
# (WAYLAND_DEBUG); the keys come from tests/mutter-keys.py.
set -euo pipefail
asked=0
[ "$1" = --asked ] && { asked=1; shift; }
program=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
[ -n "${WAYLAND_DISPLAY:-}" ] || { echo "FAIL: no WAYLAND_DISPLAY (run under scripts/with-wayland)"; exit 1; }
if [ "$asked" = 1 ]; then
  [ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY (run under scripts/with-wayland --x11)"; exit 1; }
  export QT_QPA_PLATFORM=wayland
else
  unset DISPLAY QT_QPA_PLATFORM
fi

export XDG_CONFIG_HOME=$work/config
conf=$XDG_CONFIG_HOME/Quillfern/Orvane.conf
mkdir -p "$(dirname "$conf")"
# Written as no program would write it: any rewrite shows in the bytes.
printf '; left by hand\n[StartupPosition]\nTop=-300\nLeft=-450\n\n[DefaultItems]\nTitle=1\n' >"$conf"
cp "$conf" "$work/expected.conf"

log=$work/wayland.log
WAYLAND_DEBUG=client "$program" >"$log" 2>&1 &
program_pid=$!
pids+=("$program_pid")
mkfifo "$work/keys"
"$here/mutter-keys.py" <"$work/keys" >"$work/keys.log" 2>&1 &
pids+=($!)
exec 3>"$work/keys"

fail() {
  echo "FAIL: $*"
  grep -E 'set_title|set_parent|xdg_toplevel@[0-9]+\.destroy|wl_keyboard@[0-9]+\.(enter|leave)' "$log" |
    tail -n 30 || true
  cat "$work/keys.log"
  exit 1
}

# The number of lines the log has now: a mark to search after.
mark() { wc -l <"$log"; }
# Waits up to 20 s for a line after the mark that matches the pattern, and
# prints it.
await() {
  local from=$1 pattern=$2 line
  for _ in $(seq 400); do
    if line=$(tail -n +"$((from + 1))" "$log" | grep -m1 -E -e "$pattern"); then
      echo "$line"
      return 0
    fi
    kill -0 "$program_pid" 2>/dev/null || return 1
    sleep 0.05
  done
  return 1
}
toplevel_of() { sed -n 's/.*xdg_toplevel@\([0-9]*\)\.set_title.*/\1/p' <<<"$1"; }
# The surface a toplevel was last made for (the log reuses the numbers of
# objects gone).
surface_of() {
  local xdg
  xdg=$(grep -E -e "-> xdg_surface@[0-9]+\.get_toplevel\(new id xdg_toplevel@$1\)" "$log" |
    tail -n1 | sed 's/.*-> xdg_surface@\([0-9]*\)\..*/\1/')
  grep -E -e "get_xdg_surface\(new id xdg_surface@$xdg, " "$log" | tail -n1 |
    sed 's/.*wl_surface@\([0-9]*\)).*/\1/'
}
# Waits for the keyboard to reach the toplevel's surface: keys pressed before
# would go to the window that had it.
await_keyboard() { await "$1" "wl_keyboard@[0-9]+\\.enter\\([0-9]+, wl_surface@$(surface_of "$2"),"; }

line=$(await 0 '-> xdg_toplevel@[0-9]+\.set_title\("Orvane"\)') || fail "the main window did not open"
main=$(toplevel_of "$line")
# mutter makes its virtual keyboard with the first key, which may be lost on
# the way: a lone Shift, then the keyboard's arrival at the window.
echo shift >&3
await_keyboard 0 "$main" >/dev/null || fail "the main window got no keyboard"
echo "ok   the main window opened natively"

# Opens a tool window with one key (its title begins with the text given),
# checks that it is kept with the main window, and closes it with Enter.
tool_window() {
  local key=$1 title=$2 from line window
  from=$(mark)
  echo "$key" >&3
  line=$(await "$from" "-> xdg_toplevel@[0-9]+\\.set_title\\(\"$title") ||
    fail "$key opened no $title window"
  window=$(toplevel_of "$line")
  await "$from" "-> xdg_toplevel@$window\\.set_parent\\(xdg_toplevel@$main\\)" >/dev/null ||
    fail "$title is not kept with the main window (no set_parent)"
  await_keyboard "$from" "$window" >/dev/null || fail "$title did not get the keyboard"
  from=$(mark)
  echo return >&3
  await "$from" "-> xdg_toplevel@$window\\.destroy\\(\\)" >/dev/null || fail "Enter did not close $title"
  await_keyboard "$from" "$main" >/dev/null || fail "the keyboard did not come back to the main window"
  echo "ok   $key opened $title above the main window, Enter closed it, the keyboard came back"
}
tool_window ctrl+a "About Orvane"
tool_window alt+v "Robot Values"

echo ctrl+q >&3
for _ in $(seq 400); do
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.05
done
kill -0 "$program_pid" 2>/dev/null && fail "Ctrl+Q did not end the run"
status=0
wait "$program_pid" || status=$?
[ "$status" = 0 ] || fail "the program ended with status $status"
echo "ok   Ctrl+Q ended the run"

if ! cmp "$conf" "$work/expected.conf"; then
  diff "$work/expected.conf" "$conf" || true
  echo "FAIL: closing changed the stored settings"
  exit 1
fi
echo "ok   the stored settings are as they were, byte for byte"

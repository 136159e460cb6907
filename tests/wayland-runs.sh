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

# The log's complete lines (the program may be writing the last one).
lines() { head -n "$(wc -l <"$log")" "$log"; }
# The number of lines the log has now: a mark to search after.
mark() { wc -l <"$log"; }
# Waits up to 30 s for a condition (a command), as long as the program runs.
wait_for() {
  local until=$((SECONDS + 30))
  while [ "$SECONDS" -lt "$until" ]; do
    "$@" && return 0
    kill -0 "$program_pid" 2>/dev/null || return 1
    sleep 0.05
  done
  return 1
}
# Prints the first line after the mark that matches the pattern. (Each
# reader reads to the end: one that stops early fails the pipe.)
found() { lines | awk -v from="$1" -v pattern="$2" 'NR > from && !line && $0 ~ pattern { line = $0 }
  END { if (line) print line; exit !line }'; }
await() { wait_for found "$@"; }
toplevel_of() { sed -n 's/.*xdg_toplevel@\([0-9]*\)\.set_title.*/\1/p' <<<"$1"; }
# The xdg_surface a toplevel was last made from, and its wl_surface (the log
# reuses the numbers of objects gone).
xdg_of() {
  lines | grep -E -e "-> xdg_surface@[0-9]+\.get_toplevel\(new id xdg_toplevel@$1\)" |
    tail -n1 | sed 's/.*-> xdg_surface@\([0-9]*\)\..*/\1/'
}
surface_of() {
  lines | grep -E -e "get_xdg_surface\(new id xdg_surface@$(xdg_of "$1"), " | tail -n1 |
    sed 's/.*wl_surface@\([0-9]*\)).*/\1/'
}
# Whether, after the mark, the toplevel has the keyboard and Qt has made it
# its active window, the one keys and shortcuts go to. Qt makes a window
# active when the keyboard enters it (or, while it has no keyboard, when the
# compositor configures the window as activated), but hands that on only once
# the compositor has answered the wl_display.sync it sends then: until every
# sync sent has been answered, keys still go to the window active before.
# (The log gives only the size of a configure's states: a window just shown
# has none but "activated".)
active() {
  lines | awk -v from="$1" -v top="$2" -v xdg="$(xdg_of "$2")" -v surface="$(surface_of "$2")" '
    /-> wl_seat@[0-9]+\.get_keyboard\(/ { keyboard = 1 }
    /new id wl_callback@/ {
      id = $0; sub(/.*new id wl_callback@/, "", id); sub(/\).*/, "", id)
      sync[id] = /-> wl_display@[0-9]+\.sync\(/
      open += sync[id]
    }
    /^\[[0-9. ]+\] wl_callback@[0-9]+\.done\(/ {
      id = $0; sub(/.*wl_callback@/, "", id); sub(/\..*/, "", id)
      if (sync[id]) { sync[id] = 0; open--; if (open == 0 && cause && NR > cause) settled = 1 }
    }
    NR <= from { next }
    $0 ~ "^\\[[0-9. ]+\\] xdg_toplevel@" top "\\.configure\\(" { activated = !/array\[0\]/ }
    $0 ~ "-> xdg_surface@" xdg "\\.ack_configure\\(" { if (activated && !keyboard && !cause) cause = NR }
    $0 ~ "wl_keyboard@[0-9]+\\.enter\\([0-9]+, wl_surface@" surface "," { entered = 1; if (!cause) cause = NR }
    END { exit !(entered && settled) }'
}
await_active() { wait_for active "$1" "$2"; }

line=$(await 0 '-> xdg_toplevel@[0-9]+\.set_title\("Orvane"\)') || fail "the main window did not open"
main=$(toplevel_of "$line")
# mutter makes its virtual keyboard with the first key, which may be lost on
# the way: a lone Shift, then the keyboard's arrival at the window.
echo shift >&3
await_active 0 "$main" || fail "the main window got no keyboard, or Qt did not make it active"
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
  await_active "$from" "$window" || fail "$title did not get the keyboard, or Qt did not make it active"
  from=$(mark)
  echo return >&3
  await "$from" "-> xdg_toplevel@$window\\.destroy\\(\\)" >/dev/null || fail "Enter did not close $title"
  await_active "$from" "$main" || fail "the keyboard did not come back to the main window"
  echo "ok   $key opened $title above the main window, Enter closed it, the keyboard came back"
}
tool_window ctrl+a "About Orvane"
tool_window alt+v "Robot Values"

echo ctrl+q >&3
ended() { ! kill -0 "$program_pid" 2>/dev/null; }
wait_for ended || fail "Ctrl+Q did not end the run"
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

#!/usr/bin/env bash
# The program started where no window can be opened, neither an X server
# (DISPLAY) nor a Wayland desktop (WAYLAND_DISPLAY) nor a platform named
# (QT_QPA_PLATFORM): it says so in one line that names what to install or
# set, and ends with status 1, instead of Qt's abort.
#
#   no-display.sh PROGRAM
set -euo pipefail
program=$1
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT

status=0
output=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE \
  XDG_CONFIG_HOME="$config" timeout 20 "$program" 2>&1) || status=$?
printf '%s\n' "$output"
failed=0
[ "$status" = 1 ] || { echo "FAIL: status $status, expected 1"; failed=1; }
[ "$(printf '%s\n' "$output" | wc -l)" = 1 ] || { echo "FAIL: not one line"; failed=1; }
grep -q '^orvane: cannot open a window: .*DISPLAY.*WAYLAND_DISPLAY.*xvfb' <<<"$output" ||
  { echo "FAIL: the line does not name DISPLAY, WAYLAND_DISPLAY and xvfb"; failed=1; }
[ -z "$(ls -A "$config")" ] || { echo "FAIL: it wrote settings"; failed=1; }
exit "$failed"

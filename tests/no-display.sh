#!/usr/bin/env bash
# The program started where no window can be opened: it says so in one line
# that names what to install or set, and ends with status 1, instead of Qt's
# abort. Neither an X server (DISPLAY) nor a Wayland desktop (WAYLAND_DISPLAY)
# nor a platform named (QT_QPA_PLATFORM); then a WAYLAND_DISPLAY left over
# from a desktop that has ended, its socket gone or left with no one
# listening, with no platform named and with Wayland asked for.
#
#   no-display.sh PROGRAM
set -euo pipefail
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/config" "$work/runtime"
# A socket whose compositor has ended: bound, then left with no listener.
python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' "$work/runtime/wayland-1"

failed=0
# start WAYLAND_DISPLAY QT_QPA_PLATFORM PATTERN: the one line must match PATTERN
start() {
  local status=0 output
  output=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE \
    ${1:+WAYLAND_DISPLAY=$1} ${2:+QT_QPA_PLATFORM=$2} XDG_RUNTIME_DIR="$work/runtime" \
    XDG_CONFIG_HOME="$work/config" timeout 20 "$program" 2>&1) || status=$?
  printf '%s\n' "$output"
  local case="WAYLAND_DISPLAY=${1:--} QT_QPA_PLATFORM=${2:--}"
  [ "$status" = 1 ] || { echo "FAIL ($case): status $status, expected 1"; failed=1; }
  [ "$(printf '%s\n' "$output" | wc -l)" = 1 ] || { echo "FAIL ($case): not one line"; failed=1; }
  grep -q "^orvane: cannot open a window: $3" <<<"$output" ||
    { echo "FAIL ($case): the line does not say what to set or install"; failed=1; }
}
start "" "" '.*DISPLAY.*WAYLAND_DISPLAY.*xvfb'
for platform in "" wayland; do
  start wayland-1 "$platform" '.*WAYLAND_DISPLAY (wayland-1).*DISPLAY'
  start wayland-2 "$platform" '.*WAYLAND_DISPLAY (wayland-2).*DISPLAY'
done
[ -z "$(ls -A "$work/config")" ] || { echo "FAIL: it wrote settings"; failed=1; }
exit "$failed"

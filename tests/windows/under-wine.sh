#!/usr/bin/env bash
# Run by scripts/test-windows on its X server, with WINEPREFIX set: sets the
# Wine prefix up, then runs the Windows test suites, the end-to-end run and
# the installer's run, and stops Wine's server.
#
#   under-wine.sh REPO BUILD_DIR STARTED_AT_SECONDS
set -euo pipefail
repo=$1 out=$2
SECONDS=$3
failed=0

stop_wine() {
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  timeout 30 wineserver -w >/dev/null 2>&1 || true
}
trap stop_wine EXIT

# The prefix set up and the server started before anything runs.
wine_home=$out/wine
. "$repo/scripts/wine-home.sh"
start_wine

# Qt Test writes to the debugger's channel unless told that its output is
# read; Wine passes the QT_ variables of the environment on to no program,
# so the prefix's own environment tells it.
timeout 60 wine reg add 'HKCU\Environment' /v QT_FORCE_STDERR_LOGGING /d 1 /f >/dev/null

echo "== Test suites under Wine"
timeout 3600 ctest --test-dir "$out/cmake" --output-on-failure </dev/null || failed=1

echo "== The program, end to end"
timeout 900 "$repo/tests/windows/end-to-end.sh" "$out/orvane.exe" </dev/null || failed=1

echo "== The installer"
timeout 900 "$repo/tests/windows/installer.sh" "$out"/orvane-*-setup.exe </dev/null || failed=1

echo "== Windows build and tests: $SECONDS s"
exit "$failed"

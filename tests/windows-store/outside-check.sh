#!/usr/bin/env bash
# Checks the settings store from outside the program: what regstore (the store
# behind a command line) writes must be what Wine's own reg tool reads, and the
# other way round.
#
#   outside-check.sh WINE REGSTORE_EXE
#
# Runs in the Wine prefix named by WINEPREFIX, with the server already up.
set -euo pipefail

wine=$1
regstore_exe=$2
path='Software\Quillfern\OrvaneStoreTest\Outside'
key="HKCU\\$path"
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# reg's output as UTF-8 (to a pipe it writes the OEM code page, 437 under
# C.UTF-8) and without the CRs of Windows line ends.
reg() {
  "$wine" reg "$@" | iconv -f CP437 -t UTF-8 | tr -d '\r'
}

# The line reg query prints for one value: name, type and data, 4 spaces apart.
expect_reg_value() {
  reg query "$key" /v "$1" | grep -xF "    $1    $2    $3" >/dev/null ||
    fail "reg query finds no $2 value $1 holding [$3]"
}

# Sets out= and status= from what regstore prints and its exit status.
regstore() {
  status=0
  out=$("$wine" "$regstore_exe" "$path" "$@") || status=$?
}

"$wine" reg delete "$key" /f >/dev/null 2>&1 || true

# Written by the store, read by reg: a plain REG_SZ.
regstore Name 'au lait'
expect_reg_value Name REG_SZ 'au lait'

# Written by reg, read by the store: Latin-1 intact; another type, or no value
# at all, is no value.
reg add "$key" /v Added /t REG_SZ /d 'Crème brûlée' /f >/dev/null || fail "reg add Added"
reg add "$key" /v Number /t REG_DWORD /d 42 /f >/dev/null || fail "reg add Number"
regstore Added
[ "$status:$out" = '0:Crème brûlée' ] || fail "regstore Added: exit $status, [$out]"
for name in Number Missing; do
  regstore "$name"
  [ "$status:$out" = '1:' ] || fail "regstore $name: exit $status, [$out], expected no value"
done

# Overwriting a value written by reg changes only that value.
regstore Added second
expect_reg_value Added REG_SZ second
expect_reg_value Number REG_DWORD 0x2a

"$wine" reg delete "$key" /f >/dev/null 2>&1 || true
if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "outside check passed"

#!/usr/bin/env bash
# Checks the settings store from outside the program: what regstore (the store
# behind a command line) writes must be what Wine's own reg tool reads, and the
# other way round.
#
#   outside-check.sh WINE REGSTORE_EXE
#
# Runs in the Wine prefix named by WINEPREFIX, with the server already up.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 WINE REGSTORE_EXE" >&2
  exit 2
fi
wine=$1
regstore_exe=$2

# C.UTF-8 makes Wine use the code pages 1252 (ANSI) and 437 (OEM, which reg
# writes to a pipe in).
export WINEDEBUG=-all LC_ALL=C.UTF-8

path='Software\Quillfern\OrvaneStoreTest\Outside'
key="HKCU\\$path"
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# reg's output, as UTF-8 and without the CR of Windows line ends.
reg() {
  "$wine" reg "$@" | iconv -f CP437 -t UTF-8 | tr -d '\r'
}

# Sets out= and status= from regstore's output and exit status.
regstore() {
  status=0
  out=$("$wine" "$regstore_exe" "$@") || status=$?
}

# The line reg query prints for one value: name, type and data, 4 spaces apart.
expect_reg_value() {
  local name=$1 type=$2 data=$3 listing
  if ! listing=$(reg query "$key" /v "$name"); then
    fail "reg query finds no value $name"
    return
  fi
  if ! grep -qxF "    $name    $type    $data" <<<"$listing"; then
    fail "reg query $name: expected type $type and data [$data], got:"
    printf '%s\n' "$listing" >&2
  fi
}

# No leftovers from an earlier run in the same prefix.
"$wine" reg delete "$key" /f >/dev/null 2>&1 || true

# 1. Written by the store, read by reg: a plain REG_SZ, Latin-1 intact.
regstore set HKCU "$path" Name 'Café au lait'
[ "$status" -eq 0 ] || fail "regstore set Name exited $status"
expect_reg_value Name REG_SZ 'Café au lait'

# 2. Written by reg, read by the store.
reg add "$key" /v Added /t REG_SZ /d 'Crème brûlée' /f >/dev/null || fail "reg add Added"
regstore get HKCU "$path" Added
[ "$status" -eq 0 ] || fail "regstore get Added exited $status"
[ "$out" = 'Crème brûlée' ] || fail "regstore get Added printed [$out]"

# 3. Values that are not plain texts, and a missing one, are no value.
reg add "$key" /v Number /t REG_DWORD /d 42 /f >/dev/null || fail "reg add Number"
reg add "$key" /v Expand /t REG_EXPAND_SZ /d '%TEMP%' /f >/dev/null || fail "reg add Expand"
for name in Number Expand Missing; do
  regstore get HKCU "$path" "$name"
  [ "$status" -eq 1 ] || fail "regstore get $name exited $status, expected 1 (no value)"
  [ -z "$out" ] || fail "regstore get $name printed [$out]"
done

# 4. Overwriting a value written by reg changes only that value.
regstore set HKCU "$path" Added 'second'
[ "$status" -eq 0 ] || fail "regstore set Added exited $status"
expect_reg_value Added REG_SZ 'second'
expect_reg_value Number REG_DWORD '0x2a'
expect_reg_value Name REG_SZ 'Café au lait'

"$wine" reg delete "$key" /f >/dev/null 2>&1 || true

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "outside check passed"

# What the Windows runs under Wine share; sourced, sets `failed`.

failed=0
fail() { echo "FAIL $*"; failed=1; }

# Runs the command until it succeeds, for at most the given seconds: far
# above what Wine on a busy machine takes, reached only when it never does.
within() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

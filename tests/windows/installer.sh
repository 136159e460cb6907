#!/usr/bin/env bash
# The Windows installer under Wine, as a user's silent install goes:
#  - /S installs, without asking, into %LOCALAPPDATA%\Programs\Orvane, with a
#    Start menu entry and an entry in the list of installed apps (name,
#    version, publisher, icon, size, uninstall command);
#  - the installed program starts and keeps its settings;
#  - the uninstaller, /S, removes the program, the Start menu entry and the
#    apps entry, and leaves the settings.
#
#   installer.sh SETUP.EXE
#
# Needs WINEPREFIX set up and DISPLAY; every wait is bounded.
set -euo pipefail
setup=$1
. "$(dirname "${BASH_SOURCE[0]}")/steps.sh"
unix_path() { timeout 60 winepath -u "$(timeout 60 wine cmd /c echo "$1" | tr -d '\r')"; }
reg_value() {
  timeout 60 wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    awk -v name="$2" '$1 == name {$1 = ""; $2 = ""; sub(/^  /, ""); print}'
}
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvane'
settings_key='HKCU\Software\Quillfern\Orvane\StartupPosition'

folder=$(unix_path '%LOCALAPPDATA%\Programs\Orvane')
menu_entry="$(unix_path '%APPDATA%')/Microsoft/Windows/Start Menu/Programs/Orvane.lnk"
version=$(basename "$setup" | sed -n 's/^orvane-\(.*\)-setup\.exe$/\1/p')

timeout 300 wine "$setup" /S || fail "the installer exited with $?"
[ -f "$folder/orvane.exe" ] && [ -f "$folder/uninstall.exe" ] ||
  fail "nothing installed in $folder: $(ls "$folder" 2>&1)"
[ -f "$menu_entry" ] || fail "no Start menu entry at $menu_entry"
for check in "DisplayName=Orvane" "DisplayVersion=$version" "Publisher=Quillfern"; do
  got=$(reg_value "$uninstall_key" "${check%%=*}")
  [ "$got" = "${check#*=}" ] || fail "apps entry ${check%%=*} is '$got', not '${check#*=}'"
done
[[ "$(reg_value "$uninstall_key" DisplayIcon)" == *'\orvane.exe,0' ]] || fail "apps entry has no icon"
[[ "$(reg_value "$uninstall_key" UninstallString)" == *'\uninstall.exe"' ]] ||
  fail "apps entry has no uninstall command"
size=$(reg_value "$uninstall_key" EstimatedSize)
[ -n "$size" ] && [ $((size)) -ge $(( $(stat -c %s "$folder/orvane.exe") / 1024 )) ] ||
  fail "apps entry's size ($size KiB) is less than the program's"

# The installed program runs and stores its place when it closes.
timeout 60 wine reg delete "${settings_key%\\*}" /f >/dev/null 2>&1 || true
wine "$folder/orvane.exe" >/dev/null 2>&1 &
pid=$!
shown() { xdotool search --all --onlyvisible --name '^Orvane$' >/dev/null 2>&1; }
if within 60 shown; then
  window=$(xdotool search --all --onlyvisible --name '^Orvane$' | head -n1)
  timeout 20 xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
  xdotool key --clearmodifiers ctrl+q
  within 60 bash -c "! kill -0 $pid 2>/dev/null" || { fail "the installed program did not close"; kill "$pid" || true; }
else
  fail "the installed program showed no window"
  kill "$pid" 2>/dev/null || true
fi
timeout 60 wineserver -w || true
[ -n "$(reg_value "$settings_key" Left)" ] || fail "the installed program stored no place"

# The uninstaller copies itself away and returns at once: wait for its work.
timeout 300 wine "$folder/uninstall.exe" /S || fail "the uninstaller exited with $?"
removed() { [ ! -e "$folder/orvane.exe" ] && [ ! -e "$menu_entry" ] &&
            ! timeout 60 wine reg query "$uninstall_key" >/dev/null 2>&1; }
within 120 removed ||
  fail "uninstalled, yet left behind:$([ -e "$folder/orvane.exe" ] && echo " the program")$(
    [ -e "$menu_entry" ] && echo " the Start menu entry")$(
    timeout 60 wine reg query "$uninstall_key" >/dev/null 2>&1 && echo " the apps entry")"
[ ! -e "$folder" ] || fail "the program's folder $folder is still there"
[ -n "$(reg_value "$settings_key" Left)" ] || fail "uninstalling removed the user's settings"

[ "$failed" = 0 ] && echo "ok   installer under Wine: silent install, apps entry, run, silent uninstall, settings kept"
exit "$failed"

#!/usr/bin/env bash
# The installer under Wine: a silent per-user install, the installed game
# starts from its Start-menu entry's target, is listed in Installed apps, and
# the uninstaller takes every file and the listing away again.
# Usage: installer_test.sh BUILD_DIR (run by under_wine.sh)
build=$1
source "$(dirname "$0")/../e2e/lib.sh"
setup=$(ls "$build"/*setup*.exe | head -1)
[ -f "$setup" ] || fail "no installer in $build"
appdata=$(wine cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')
dir=$(winepath -u "$appdata\\Programs\\Diamond")
users="$WINEPREFIX/drive_c/users"
# The registry as the server saves it once every program has ended.
listed() { wineserver -w; grep -q 'CurrentVersion\\\\Uninstall\\\\Diamond\]' "$WINEPREFIX/user.reg"; }

wine "$setup" /S >"$work/setup.log" 2>&1 || fail "the installer failed: $(cat "$work/setup.log")"
[ -x "$dir/diamond.exe" ] && [ -f "$dir/uninstall.exe" ] || fail "nothing installed in $dir: $(ls -la "$dir" 2>&1)"
find "$users" -path '*Start Menu/Programs/Diamond.lnk' | grep -q . || fail "no Start-menu entry"
listed || fail "not listed in Installed apps"
ok "a silent install put the game, its uninstaller and a Start-menu entry in place, listed in Installed apps"

"$(command -v wine)" "$dir/diamond.exe" 2>"$work/game.log" &
game=$!
within 30 at_least 1 || fail "the installed game did not start: $(cat "$work/game.log")"
wmctrl -c Diamond
within 10 eval '! kill -0 "$game" 2>/dev/null' || fail "the installed game did not close"
wait "$game" || fail "the installed game ended with an error"
game=""
ok "the installed game started and closed"

# The uninstaller copies itself away and runs from there: wait for it.
status=0
wine "$dir/uninstall.exe" /S >"$work/uninstall.log" 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "the uninstaller failed with exit code $status: $(tail -c 2000 "$work/uninstall.log")"
within 20 eval '[ ! -e "$dir" ]' || fail "the uninstaller left $(find "$dir" 2>&1 | tr '\n' ' ')"
! find "$users" -name Diamond.lnk | grep -q . || fail "the uninstaller left the Start-menu entry"
! listed || fail "the uninstaller left the Installed apps entry"
ok "the uninstaller removed every file, the Start-menu entry and the listing"
echo "$passed passed, 0 failed"

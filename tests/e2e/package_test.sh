#!/usr/bin/env bash
# The Debian package made from this build tree: checks it and its metadata,
# unpacks it into a scratch root and plays one pitch with the unpacked game.
# Usage: package_test.sh BUILD_DIR
build=$1
source "$(dirname "$0")/lib.sh"

cpack --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1 ||
  fail "cpack failed: $(tail -5 "$work/cpack.log")"
deb=$(ls "$work"/pkg/*.deb)
ok "cpack made $(basename "$deb"), Depends: $(dpkg-deb -f "$deb" Depends)"
lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 || fail "lintian: $(cat "$work/lintian.log")"
ok "lintian reports no errors"

root="$work/root"
dpkg -x "$deb" "$root"
desktop=$(ls "$root"/usr/share/applications/*.desktop)
desktop-file-validate "$desktop" || fail "the desktop entry is not valid"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >"$work/appstream.log" 2>&1 ||
  fail "the metainfo is not valid: $(cat "$work/appstream.log")"
[ -s "$root/usr/share/man/man6/diamond.6.gz" ] || fail "no manual page"
ok "the desktop entry, the metainfo and the manual page are in place and valid"

start_x
start_game "$root/usr/games/diamond"
xdotool windowfocus --sync "$main" >/dev/null 2>&1 || true
call_hidden || fail "the call label shows before any pitch"
keypad 8
within 3 call_shown || fail "a pitch thrown in the unpacked game was not called"
ok "the unpacked game plays a pitch"

wm_class=$(xprop -id "$main" WM_CLASS | sed 's/.*= //')
startup_class=$(sed -n 's/^StartupWMClass=//p' "$desktop")
[[ "$wm_class" == *"\"$startup_class\""* ]] || fail "WM_CLASS $wm_class does not match StartupWMClass $startup_class"
icons=$(xprop -id "$main" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | tr '\n' ' ')
[[ "$icons" == *"16 x 16"* && "$icons" == *"128 x 128"* ]] || fail "the window icon lacks sizes: $icons"
ok "the window's class is $wm_class and its icon comes in $icons"

echo "$passed passed, 0 failed"

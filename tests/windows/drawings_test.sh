#!/usr/bin/env bash
# The staged forms drawn by GDI under Wine, compared with the desktop's
# drawings of the same states at scale 1 and 2 (run by under_wine.sh).
# Usage: drawings_test.sh WINDOWS_DRAWINGS.EXE DESKTOP_DRAWINGS
source "$(dirname "$0")/../e2e/lib.sh"
mkdir "$work/windows" "$work/desktop"
wine "$1" "$(winepath -w "$work/windows")" >"$work/wine.log" 2>&1 || fail "GDI drew nothing: $(tail -5 "$work/wine.log")"
QT_QPA_PLATFORM=offscreen "$2" "$work/desktop" || fail "$2 drew nothing: build the desktop preset first"
if ! node "$(dirname "$0")/drawings_test.mjs" "$work/windows" "$work/desktop"; then
  kept=$(mktemp -d)
  cp -r "$work/windows" "$work/desktop" "$kept"
  fail "the drawings differ: both, and maps of the differences, are kept in $kept"
fi

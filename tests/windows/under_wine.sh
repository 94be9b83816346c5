#!/usr/bin/env bash
# Runs a Windows test under Wine, on a virtual X server of its own under
# openbox. The prefix is the suite's (WINEPREFIX, made once per run by
# scripts/test) or, run alone, a fresh one of its own. A .exe is run by Wine;
# a script gets the display and the prefix, with the program as its argument.
# Usage: under_wine.sh TEST.exe | under_wine.sh SCRIPT ARGS...
source "$(dirname "$0")/../e2e/lib.sh"
export WINEDEBUG=-all
if [ -z "${WINEPREFIX:-}" ]; then export WINEPREFIX="$work/prefix"; fi
start_x
start_openbox
stop_wine() { wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; }
trap 'stop_wine; cleanup' EXIT
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >"$work/wineboot.log" 2>&1 || fail "no Wine prefix: $(tail -5 "$work/wineboot.log")"
numlockx on
case "$1" in
  *.exe)
    # Wine's helpers keep the program's output open past its exit: a file
    # takes it, the exit code comes through.
    status=0
    wine "$@" >"$work/out.log" 2>&1 || status=$?
    cat "$work/out.log"
    exit "$status" ;;
  *) bash "$@" ;;
esac

#!/usr/bin/env bash
# The Windows figures under Wine, run by tests/windows/under_wine.sh (a
# virtual X server under openbox, a Wine prefix):
# bench/windows/windows_bench.sh BUILD_DIR [SECONDS]
build=$1
seconds=${2:-5}
source "$(dirname "$0")/../../tests/e2e/lib.sh"
bin=$build/bench/windows

size() { stat -c %s "$1"; }
echo "sizes: diamond.exe $(size "$build/diamond.exe") B, zip $(size "$build"/*.zip) B," \
  "installer $(size "$build"/*setup*.exe) B"

# Wine's own start-up (its desktop process) is paid once, before timing.
wine "$bin/bare_window.exe" >/dev/null 2>&1
echo "launch to the first drawn frame under Wine, 10 runs each, alternating, beside a bare Win32 window"
source "$(dirname "$0")/../start_ups.sh"
# Wine's helpers hold the program's output open past its exit: through a file.
on_wine() { wine "$bin/$1.exe" start >"$work/out" 2>/dev/null; cat "$work/out"; }
read -r bare game bare_peak game_peak < <(start_ups on_wine bare_window windows_bench)
echo "launch to first frame, median: bare window $bare ms, game $game ms" \
  "($(awk "BEGIN {printf \"%.2f\", $game / $bare}") times)"
echo "peak working set at first frame: bare window $bare_peak KB, game $game_peak KB"

wine "$bin/windows_bench.exe" cadence "$seconds" 2>/dev/null
wine "$bin/windows_bench.exe" flight 2>/dev/null
wine "$bin/windows_bench.exe" swing 2>/dev/null

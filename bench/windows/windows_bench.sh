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
declare -A times peak
for _ in $(seq 10); do
  for probe in bare_window windows_bench; do
    start=$(date +%s%N)
    wine "$bin/$probe.exe" start >"$work/out" 2>/dev/null
    read -r painted kb <"$work/out"
    times[$probe]+=" $(((painted - start) / 100000))"
    peak[$probe]=$kb
  done
done
median() { printf '%s\n' $1 | sort -n | sed -n '5,6p' | awk '{s += $1} END {printf "%.1f", s / 20}'; }
bare=$(median "${times[bare_window]}") game=$(median "${times[windows_bench]}")
echo "launch to first frame, median: bare window $bare ms, game $game ms" \
  "($(awk "BEGIN {printf \"%.2f\", $game / $bare}") times)"
echo "peak working set at first frame: bare window ${peak[bare_window]} KB, game ${peak[windows_bench]} KB"

wine "$bin/windows_bench.exe" cadence "$seconds" 2>/dev/null
wine "$bin/windows_bench.exe" flight 2>/dev/null
wine "$bin/windows_bench.exe" swing 2>/dev/null

#!/usr/bin/env bash
# Builds the benchmarks in Release and prints every figure the README quotes.
# Needs the test packages (Xvfb) and libbenchmark-dev.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${BENCH_PACKAGES[@]}" "${WEB_PACKAGES[@]}" \
  "${BROWSER_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}" "${WINE_PACKAGES[@]}"
cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
bin=build/bench/bench
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
seconds=${CADENCE_SECONDS:-10}

echo "== Tick handlers (median of 5 repetitions)"
"$bin/tick_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true 2>/dev/null |
  grep -E "median|Benchmark"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>/tmp/diamond-bench-display >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
for _ in $(seq 100); do [ -s /tmp/diamond-bench-display ] && break; sleep 0.1; done
display=":$(cat /tmp/diamond-bench-display)"

echo "== Qt platform, offscreen"
QT_QPA_PLATFORM=offscreen "$bin/qt_bench" "$seconds"
echo "== Qt platform, virtual X server"
DISPLAY=$display QT_QPA_PLATFORM=xcb "$bin/qt_bench" "$seconds"

echo "== Start-up to the first painted frame, virtual X server, 10 runs each, alternating"
echo "   beside a bare Qt Widgets window of the pitch screen's size, centred and painted once"
source bench/start_ups.sh
on_x() { DISPLAY=$display QT_QPA_PLATFORM=xcb "$bin/$1"; }
read -r bare game bare_rss game_rss < <(start_ups on_x bare_window startup_probe)
echo "launch to first paint, median: bare window $bare ms, game $game ms ($(awk "BEGIN {printf \"%.2f\", $game / $bare}") times)"
mb() { awk "BEGIN {printf \"%.1f MB\", $1 / 1024}"; }
echo "peak resident memory at first paint: bare window $(mb "$bare_rss"), game $(mb "$game_rss")" \
  "($(mb $((game_rss - bare_rss))) more)"

echo "== The browser build, in headless Chromium"
cmake --preset web -DDIAMOND_BENCH=ON >/dev/null
cmake --build --preset web >/dev/null
(cd tests/web && npm ci --no-audit --no-fund --silent)
node bench/web/web_bench.mjs build/web/site build/web/bench "$seconds"
(cd app/web/server && npm ci --no-audit --no-fund --silent)
echo "== Two screens, in headless Chromium"
node bench/web/friend_bench.mjs build/web/site
echo "== The browser build in every engine"
xvfb-run -a -s "-screen 0 1280x1024x24" node bench/web/engines_bench.mjs build/web/site bench/web/bare.html

echo "== The Windows build under Wine (beside the Qt desktop's figures above)"
cmake --preset windows -DDIAMOND_BENCH=ON >/dev/null
cmake --build --preset windows >/dev/null
tests/windows/under_wine.sh bench/windows/windows_bench.sh build/windows "$seconds"

#!/usr/bin/env bash
# The real program in a virtual X server with a window manager, driven by
# real key presses and mouse clicks. Checks what the screen shows.
# Usage: real_window_test.sh GAME [SCREENSHOT_DIR]
set -euo pipefail
game_exe=$1
shots=${2:-}
work=$(mktemp -d)
passed=0

# The server picks a free display and writes its number when it is ready.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
n=$(cat "$work/display")
game=""
cleanup() {
  [ -n "$game" ] && kill "$game" 2>/dev/null
  # Wait for the server to go, so the next run cannot meet its leftovers.
  kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export DISPLAY=":$n"
export XDG_RUNTIME_DIR="$work"
openbox >/dev/null 2>&1 &
# Windows mapped while the manager starts up can be lost: wait for it.
for _ in $(seq 100); do wmctrl -l >/dev/null 2>&1 && break; sleep 0.1; done
numlockx on

fail() { echo "FAIL: $*"; exit 1; }
ok() { echo "ok: $*"; passed=$((passed + 1)); }
windows() { xdotool search --onlyvisible --class diamond 2>/dev/null | wc -l; }
at_least() { [ "$(windows)" -ge "$1" ]; }
exactly() { [ "$(windows)" -eq "$1" ]; }
# Polls a condition for up to $1 seconds.
within() {
  local limit=$1; shift
  for _ in $(seq $((limit * 10))); do "$@" && return 0; sleep 0.1; done
  return 1
}
# Absolute screen position of a window's client area.
origin() { xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}'; }
# Share of pixels of the given colour in a rectangle of pixels on screen.
share() {
  import -window root -crop "$3x$4+$1+$2" +repage "$work/crop.png"
  convert "$work/crop.png" -fill black +opaque "$5" -fill white -opaque "$5" -format "%[fx:mean]" info:
}
# Twips of the pitch screen to screen pixels.
px() { echo $(($1 / 15)); }
shot() { [ -n "$shots" ] && import -window root "$shots/$1.png" || true; }

"$game_exe" 2>"$work/game.log" &
game=$!
within 10 at_least 1 || fail "the pitch screen did not appear: $(cat "$work/game.log")"
main=$(xdotool search --onlyvisible --name '^Diamond$' | head -1)
read -r mx my < <(origin "$main")
ok "the pitch screen opened at $mx,$my"
xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true

call_x=$((mx + $(px 2400))); call_y=$((my + $(px 2040)))
call_hidden() { [ "$(share "$call_x" "$call_y" 81 25 '#008000')" = 1 ]; }
call_shown() { ! call_hidden; }
call_hidden || fail "the call label shows before any pitch"
shot start

xdotool key KP_8
sleep 0.35
call_hidden || fail "a straight pitch was called before it could reach the plate"
within 3 call_shown ||
  fail "a straight pitch was not called"
ok "a straight pitch was called at the plate"
shot strike

hit=no
for try in $(seq 8); do
  xdotool key KP_8
  sleep 0.36
  xdotool key space
  if within 2 at_least 2; then hit=yes; break; fi
  sleep 0.5
done
[ "$hit" = yes ] || fail "eight timed swings did not open the hit view"
ok "a timed swing hit the ball and the hit view opened (try $try)"
view=$(xdotool search --onlyvisible --class diamond | grep -v "^$main$" | head -1)
read -r vx vy < <(origin "$view")
sleep 1
shot hit_view
# Mostly grass, though the ball may be flying over this patch.
awk "BEGIN {exit !($(share $((vx + 113)) $((vy + 147)) 6 6 '#00C000') > 0.5)}" || fail "the hit view does not show its field"
sleep 3  # the flight lasts 200 ticks, about 3.1 s
xdotool mousemove $((vx + 13)) $((vy + 400)) click 1
within 2 exactly 1 || fail "a click after the flight did not close the hit view"
ok "a click after the flight closed the hit view"

xdotool mousemove $((mx + $(px 5100))) $((my + $(px 4700))) click 1
within 2 at_least 2 || fail "View Stats did not open the stats screen"
sleep 0.3
shot stats
stats=$(xdotool search --onlyvisible --class diamond | grep -v "^$main$" | head -1)
read -r sx sy < <(origin "$stats")
[ "$(share $((sx + 4)) $((sy + 4)) 4 4 '#804000')" = 1 ] || fail "the stats screen is not brown"
xdotool mousemove $((sx + 150)) $((sy + 50)) click 1
within 2 exactly 1 || fail "a click did not close the stats screen"
ok "View Stats opened the stats screen and a click closed it"

# Close the main window in the middle of a swing's wait.
xdotool key KP_8 key space
wmctrl -c Diamond
game_ended() { ! kill -0 "$game" 2>/dev/null; }
within 5 game_ended || fail "closing the pitch screen did not end the game"
status=0
wait "$game" || status=$?
game=""
[ "$status" -eq 0 ] || fail "the game ended with exit code $status: $(tail -c 3000 "$work/game.log")"
ok "closing the pitch screen mid-swing ended the game with exit code 0"

echo "$passed passed, 0 failed"

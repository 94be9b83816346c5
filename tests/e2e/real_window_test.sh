#!/usr/bin/env bash
# The real program in a virtual X server with a window manager, driven by
# real key presses and mouse clicks. Checks what the screen shows.
# Usage: real_window_test.sh GAME [SCREENSHOT_DIR]
game_exe=$1
shots=${2:-}
source "$(dirname "$0")/lib.sh"
start_x
start_openbox
shot() { [ -n "$shots" ] && import -window root "$shots/$1.png" || true; }

start_game "$game_exe"
ok "the pitch screen opened at $mx,$my"
xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true

call_hidden || fail "the call label shows before any pitch"
shot start

keypad 8
sleep 0.35
call_hidden || fail "a straight pitch was called before it could reach the plate"
within 3 call_shown ||
  fail "a straight pitch was not called"
ok "a straight pitch was called at the plate"
shot strike

hit=no
for try in $(seq 8); do
  keypad 8
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
keypad 8; xdotool key space
wmctrl -c Diamond
game_ended() { ! kill -0 "$game" 2>/dev/null; }
within 5 game_ended || fail "closing the pitch screen did not end the game"
status=0
wait "$game" || status=$?
game=""
[ "$status" -eq 0 ] || fail "the game ended with exit code $status: $(tail -c 3000 "$work/game.log")"
ok "closing the pitch screen mid-swing ended the game with exit code 0"

echo "$passed passed, 0 failed"

#!/usr/bin/env bash
# The real program in a virtual X server under a window manager (openbox or
# KWin), driven by real key presses, clicks and the manager's own actions.
# Checks what the screen shows and what the manager lets the user do, in one
# run.
# Usage: real_window_test.sh GAME openbox|kwin [SCREENSHOT_DIR]
game_exe=$1
manager=$2
shots=${3:-}
source "$(dirname "$0")/lib.sh"
start_x
"start_$manager"
shot() { [ -n "$shots" ] && import -window root "$shots/$1.png" || true; }

start_game "$game_exe"
ok "the pitch screen opened at $mx,$my under $manager"
xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true
within 3 centred "$main" || fail "the pitch screen's frame is $(frame_offset "$main") from the centre"
allows "$main" MOVE && allows "$main" CLOSE || fail "the pitch screen cannot be moved or closed: $(actions "$main")"
! allows "$main" RESIZE && ! allows "$main" MAXIMIZE_HORZ || fail "the pitch screen can be resized: $(actions "$main")"
ok "the pitch screen is centred with its frame and can be moved and closed, not resized"

# The manager places a new window and the game centres it again once framed,
# so the place read when the window first appeared may be stale; read it
# again, and wait for the first paint at that place.
read -r mx my < <(origin "$main")
within 3 field_shown || fail "the pitch screen at $mx,$my does not show its field"
call_hidden || fail "the call label shows before any pitch"
shot start

keypad 8
sleep 0.35
call_hidden || fail "a straight pitch was called before it could reach the plate"
within 3 call_shown ||
  fail "a straight pitch was not called"
ok "a straight pitch was called at the plate"
shot strike

swing_until_hit keypad 8 || fail "eight timed swings did not open the hit view"
ok "a timed swing hit the ball and the hit view opened (try $try)"
flight_start=$(date +%s%N)
view=$(other_window)
read -r vx vy < <(origin "$view")
# During the flight: the manager's close and a drag change nothing.
wmctrl -ic "$view"
alt_drag "$view"
exactly 2 || fail "the window manager's close ended the hit view's flight"
[ "$(origin "$view")" = "$vx $vy" ] || fail "an Alt+drag moved the hit view from $vx $vy to $(origin "$view")"
ok "during the flight the hit view ignores the manager's close and an Alt+drag leaves it in place"
centred "$view" || fail "the hit view is $(frame_offset "$view") from the centre"
unmanaged "$view" || fail "the hit view is left to the window manager: $(actions "$view")"
untitled "$view" || fail "the hit view has a title: $(xprop -id "$view" WM_NAME _NET_WM_NAME)"
[ "$(active_window)" = "$main" ] || fail "the hit view took the keyboard from the pitch screen"
ok "the hit view is centred, untitled, out of the manager's reach, and the pitch screen keeps the keyboard"
shot hit_view
# Mostly grass, though the ball may be flying over this patch.
awk "BEGIN {exit !($(share $((vx + 113)) $((vy + 147)) 6 6 '#00C000') > 0.5)}" || fail "the hit view does not show its field"
# The flight lasts 200 ticks, about 3.1 s; give it 3.4 s from the hand-over.
sleep "$(awk "BEGIN {print 3.4 - ($(date +%s%N) - $flight_start) / 1e9}")"
xdotool mousemove $((vx + 150)) $((vy + 200)) click 1
within 2 exactly 1 || fail "a click after the flight did not close the hit view"
within 2 eval '[ "$(active_window)" = "$main" ]' || fail "the pitch screen did not keep the focus"
ok "after the flight a click closed the hit view and the pitch screen has the focus"
keypad 8
within 1 call_hidden || fail "a pitch key after the hit view closed did not reach the pitch screen"
within 3 call_shown || fail "that pitch was not called"
ok "the pitcher throws again without a click"

xdotool mousemove $((mx + $(px 5100))) $((my + $(px 4700))) click 1
within 2 at_least 2 || fail "View Stats did not open the stats screen"
sleep 0.3
shot stats
stats=$(other_window)
read -r sx sy < <(origin "$stats")
[ "$(share $((sx + 4)) $((sy + 4)) 4 4 '#804000')" = 1 ] || fail "the stats screen is not brown"
centred "$stats" || fail "the stats screen is $(frame_offset "$stats") from the centre"
unmanaged "$stats" || fail "the stats screen is left to the window manager: $(actions "$stats")"
untitled "$stats" || fail "the stats screen has a title: $(xprop -id "$stats" WM_NAME _NET_WM_NAME)"
wmctrl -ic "$stats"
sleep 0.3
exactly 2 || fail "the window manager closed the stats screen"
ok "the stats screen is centred, untitled, and the manager's close does not reach it"
# The stats screen covers the call label; the ball on the mound shows.
keypad 8
within 1 eval '! ball_on_mound' || fail "a pitch key with the stats screen open did not reach the pitch screen"
within 3 ball_on_mound || fail "that pitch did not come back to the mound"
ok "the pitcher throws with the stats screen open"
# Another program activated over the middle of the screen: the stats screen
# goes behind it, and comes back in front with the game.
stats_in_front() { [ "$(share $((sx + 150)) $((sy + 50)) 4 4 '#804000')" = 1 ]; }
xmessage -geometry 420x240+$((sx - 58))+$((sy - 68)) "Another program" 2>/dev/null &
extra_pids+=($!)
within 5 eval 'other=$(xdotool search --onlyvisible --class xmessage | head -1); [ -n "$other" ]' ||
  fail "the other program did not appear"
xdotool windowactivate "$other" 2>/dev/null || true
within 3 eval '! stats_in_front' || fail "the stats screen stayed in front of another program that is active"
xdotool windowactivate "$main" 2>/dev/null || true
within 3 stats_in_front || fail "the stats screen did not come back in front with the game"
kill "${extra_pids[-1]}"
ok "another active program covers the stats screen, which comes back in front with the game"
xdotool mousemove $((sx + 150)) $((sy + 50)) click 1
within 2 exactly 1 || fail "a click did not close the stats screen"
ok "View Stats opened the stats screen and a click closed it"

# Fifteen called strikes: five outs switch the sides with a message box.
for _ in $(seq 15); do
  keypad 8
  within 1 call_hidden || fail "a pitch key did not throw"
  within 3 call_shown || fail "a pitch was not called"
  box=$(xdotool search --onlyvisible --name '^Switch Positions$' 2>/dev/null | head -1 || true)
  [ -n "$box" ] && break
done
[ -n "$box" ] || within 2 eval 'box=$(xdotool search --onlyvisible --name "^Switch Positions$" | head -1); [ -n "$box" ]' ||
  fail "fifteen strikes did not switch the sides"
sleep 0.3
shot switch_box
centred "$box" || fail "the message box is $(frame_offset "$box") from the centre"
allows "$box" CLOSE && ! allows "$box" RESIZE && ! allows "$box" MAXIMIZE_HORZ || fail "the message box's allowed actions are $(actions "$box")"
wmctrl -ic "$box"
within 2 eval '! xdotool search --onlyvisible --name "^Switch Positions$" >/dev/null' ||
  fail "the window manager's close did not dismiss the message box"
ok "the side switch's box is centred, not resizable, and the manager's close dismisses it"

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

#!/usr/bin/env bash
# The real diamond.exe under Wine, driven by real key presses and clicks on
# the virtual X server and under the window manager that under_wine.sh runs.
# Usage: real_program_test.sh DIAMOND.EXE [SCREENSHOT_DIR]
exe=$1
shots=${2:-}
source "$(dirname "$0")/../e2e/lib.sh"
shot() { [ -n "$shots" ] && import -window root "$shots/$1.png" || true; }
# Keypad 8 as the keyboard sends it (raw key code 80): Num Lock decides.
pitch() { xdotool key 80; }
box_shown() { xdotool search --onlyvisible --name '^Switch Positions$' >/dev/null 2>&1; }
# What the game asks the manager to allow, by value: Motif's functions.
motif_functions() { xprop -id "$1" _MOTIF_WM_HINTS | awk -F'[=,]' '{printf "%d", $3}'; }

"$(command -v wine)" "$exe" 2>"$work/game.log" &
game=$!
within 30 at_least 1 || fail "the pitch screen did not appear: $(cat "$work/game.log")"
main=$(xdotool search --onlyvisible --name '^Diamond$' | head -1)
read -r mx my < <(origin "$main")
within 3 field_shown || fail "the pitch screen at $mx,$my does not show its field"
centred "$main" || fail "the pitch screen's frame is $(frame_offset "$main") from the centre"
# Move (4) and close (32) only: no resizing, minimising or maximising.
[ "$(motif_functions "$main")" = 36 ] || fail "the pitch screen asks for $(xprop -id "$main" _MOTIF_WM_HINTS)"
ok "the pitch screen opened centred with its frame, to be moved and closed only"
shot start
# The role labels, Play1lbl and Play2lbl, as the game starts: pitching, batting.
roles() { snap "${1}1" $((mx + 64)) $((my + 8)) 73 17; snap "${1}2" $((mx + 64)) $((my + 32)) 73 17; }
outs() { snap "$1" $((mx + 352)) $((my + 88)) 33 17; }
roles start

numlockx off
pitch
sleep 1
ball_on_mound && call_hidden || fail "keypad 8 with Num Lock off pitched"
numlockx on
ok "with Num Lock off keypad 8 is an arrow key, which the game ignores"

pitch
start=$(date +%s%N)
sleep 0.45
call_hidden || fail "a straight pitch was called before it could reach the plate"
within 3 call_shown || fail "a straight pitch was not called"
ok "a straight pitch was called at the plate, seen $((($(date +%s%N) - start) / 1000000)) ms after the key"
shot strike

swing_until_hit pitch || fail "eight timed swings did not open the hit view"
flight_start=$(date +%s%N)
view=$(other_window)
read -r vx vy < <(origin "$view")
alt_drag "$view"
[ "$(origin "$view")" = "$vx $vy" ] || fail "an Alt+drag moved the hit view from $vx $vy to $(origin "$view")"
unmanaged "$view" || fail "the hit view is left to the window manager"
untitled "$view" || fail "the hit view has a title: $(xprop -id "$view" WM_NAME _NET_WM_NAME)"
[ "$(active_window)" = "$main" ] || fail "the hit view took the keyboard from the pitch screen"
ok "a timed swing opened the hit view (try $try): untitled, out of the manager's reach, the keyboard kept"
shot hit_view
sleep "$(awk "BEGIN {print 3.4 - ($(date +%s%N) - $flight_start) / 1e9}")"
xdotool mousemove $((vx + 150)) $((vy + 200)) click 1
within 2 exactly 1 || fail "a click after the landing did not close the hit view"
ok "after the landing a click closed the hit view"

xdotool mousemove $((mx + $(px 5100))) $((my + $(px 4700))) click 1
within 3 at_least 2 || fail "View Stats did not open the stats screen"
stats=$(other_window)
read -r sx sy < <(origin "$stats")
within 2 eval '[ "$(share $((sx + 4)) $((sy + 4)) 4 4 "#804000")" = 1 ]' || fail "the stats screen is not brown"
# Its one-pixel border, the game's black, along the top and down the left,
# with brown just inside it.
[ "$(share "$sx" "$sy" 40 1 "#000000")" = 1 ] && [ "$(share "$sx" "$sy" 1 40 "#000000")" = 1 ] &&
  [ "$(share $((sx + 1)) $((sy + 1)) 40 1 "#804000")" = 1 ] || fail "the stats screen's border is not black"
unmanaged "$stats" || fail "the stats screen is left to the window manager"
shot stats
xdotool mousemove $((sx + 150)) $((sy + 50)) click 1
within 2 exactly 1 || fail "a click did not close the stats screen"
ok "View Stats opened the stats screen, brown within a black border, and a click closed it"

# Called strikes up to the fifth out: the system's box, owned by the game.
for _ in $(seq 15); do
  pitch
  within 1 call_hidden || fail "a pitch key did not throw"
  within 3 eval 'call_shown || box_shown' || fail "a pitch was not called"
  box_shown && break
  outs outs_before
done
within 2 box_shown || fail "fifteen strikes did not switch the sides"
shot switch_box
# Behind the box the screen is the game as the fifth out left it: the roles
# swapped, the outs still 4 (the labels are written after the box), the ball
# back on the mound.
roles box
outs outs_box
same box1 start2 && same box2 start1 || fail "behind the box the role labels do not show the new roles"
same outs_box outs_before || fail "behind the box the outs do not read 4"
ball_on_mound || fail "behind the box the ball is not on the mound"
ok "behind the box the roles are swapped, the outs read 4 and the ball is on the mound"
pitch
sleep 0.3
xdotool key Return
within 2 eval '! box_shown' || fail "Enter did not dismiss the box"
for _ in 1 2 3; do
  ball_on_mound || fail "keypad 8 pressed at the box pitched"
  sleep 0.25
done
outs outs_after
same outs_after outs_before && fail "after the box the outs still read 4"
ok "the fifth out showed the box, which kept the keypad from the game until Enter dismissed it"

swing_until_hit pitch || fail "no hit to close the game in"
wmctrl -c Diamond
within 10 eval '! kill -0 "$game" 2>/dev/null' || fail "closing the pitch screen mid-flight did not end the game"
status=0
wait "$game" || status=$?
game=""
[ "$status" -eq 0 ] || fail "the game ended with exit code $status"
ok "closing the pitch screen mid-flight ended the game with exit code 0"
echo "$passed passed, 0 failed"

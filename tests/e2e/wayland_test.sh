#!/usr/bin/env bash
# The real program in a nested Wayland session: weston with XWayland on a
# virtual X server, keys and clicks sent to that server reaching weston's
# seat. With no platform chosen the game runs on X (XWayland), where its
# windows sit where it puts them; chosen native Wayland, the keypad pitches.
# Usage: wayland_test.sh GAME
game_exe=$1
source "$(dirname "$0")/lib.sh"
start_x
host=$DISPLAY
runtime="$work/session"
mkdir -m 0700 "$runtime"
XDG_RUNTIME_DIR="$runtime" weston --backend=x11-backend.so --use-pixman --xwayland --socket=diamond-test \
  --no-config --idle-time=0 --width=1000 --height=740 >"$work/weston.log" 2>&1 &
extra_pids+=($!)
within 10 grep -q "xserver listening on display" "$work/weston.log" || fail "weston did not start: $(cat "$work/weston.log")"
xwayland=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log" | head -1)
# weston starts XWayland and its window manager on the first X client: wait
# for both, as a session that is up and running has them.
within 10 eval 'DISPLAY=$xwayland xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' ||
  fail "XWayland's window manager did not start: $(cat "$work/weston.log")"
xdotool mousemove 990 730  # into weston's window, clear of the game's

# A Wayland desktop session's environment, with no platform chosen.
session() {
  env -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=diamond-test DISPLAY="$xwayland" \
    XDG_SESSION_TYPE=wayland "$@" 2>"$work/game.log" &
  game=$!
}
stop_game() {
  kill "$game" 2>/dev/null
  wait "$game" 2>/dev/null || true
  game=""
  within 5 eval '! find_pitch_screen' || fail "the pitch screen stayed on the screen after the game ended"
}
# The pitch screen's client area on the host's screen, found by its field:
# its bottom right corner is the bottom right of everything #008000.
find_pitch_screen() {
  import -window root "$work/screen.png"
  read -r gx gy gw gh < <(convert "$work/screen.png" -fill black +opaque '#008000' -fill white -opaque '#008000' \
    -trim -format '%X %Y %w %h' info: 2>/dev/null | tr -d '+')
  mx=$((gx + gw - 402)); my=$((gy + gh - 350))
  [ -n "$gw" ] && [ "$gw" -ge 402 ] && [ "$gh" -ge 350 ]
}
throws_a_pitch() {
  call_hidden || fail "the call label shows before any pitch"
  keypad 8
  within 3 call_shown || fail "keypad 8 did not throw a pitch that was called"
}

# No platform chosen: the game runs on X, on the session's XWayland.
session "$game_exe"
within 10 eval 'DISPLAY=$xwayland xdotool search --onlyvisible --name "^Diamond$" >/dev/null 2>&1' ||
  fail "the game did not open on XWayland: $(cat "$work/game.log")"
xw_main=$(DISPLAY=$xwayland xdotool search --onlyvisible --name '^Diamond$' | head -1)
# weston reports no frame extents, so the game centres the window it knows
# and weston hangs its border and title bar (about 6 and 27 pixels) from
# there. weston's window manager first reparents the window into a frame at
# the top left of the screen (its shadow margin, border and title bar put
# the window at 38, 59), then moves the frame where its shell places it: a
# look in between sees the window there, so wait for the place to settle.
xw_centred() {
  read -r dx dy < <(DISPLAY=$xwayland frame_offset "$xw_main")
  ((dx >= -10 && dx <= 10 && dy >= -2 && dy <= 40))
}
within 3 xw_centred || fail "on XWayland the pitch screen is $dx $dy from the centre"
ok "with no platform chosen the game runs on XWayland, its client area $dx $dy from the centre"
within 5 find_pitch_screen || fail "the pitch screen is not on the screen"
throws_a_pitch
ok "on XWayland the keypad pitches"
stop_game

# Native Wayland, as a user may choose: the compositor places the window.
session env QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client "$game_exe"
within 10 find_pitch_screen || fail "the game did not open on native Wayland: $(cat "$work/game.log")"
ok "on native Wayland the pitch screen opened, its client area $((mx + 201 - 500)) $((my + 175 - 370)) from the centre of the output"
throws_a_pitch
ok "on native Wayland the keypad pitches"
keypad_unlocked 8
sleep 1
call_shown || fail "keypad 8 with Num Lock off threw a pitch"
ok "with Num Lock off the keypad does nothing"
# The stats window's toplevel has no title: the last title the game sent
# for it, in the protocol log, is empty.
# weston's X window takes the pointer on entering it: leave it, then come in.
xdotool mousemove 1010 750 sleep 0.3 mousemove $((mx + $(px 5100))) $((my + $(px 4700))) sleep 0.2 click 1
last_titles() { sed -n 's/.*\(xdg_toplevel@[0-9]*\)\.set_title("\(.*\)")$/\1 \2/p' "$work/game.log" | awk '{t[$1] = $2} END {for (k in t) print t[k]}' | sort; }
within 3 eval '[ "$(last_titles | tr "\n" ,)" = ",Diamond," ]' || fail "the toplevels' titles are: $(last_titles | tr '\n' ,)"
ok "on native Wayland the stats window's toplevel is untitled"
stop_game

echo "$passed passed, 0 failed"

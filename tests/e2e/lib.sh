# Shared by the end-to-end tests: a virtual X server, polling, window
# geometry and pixel checks. Source it, then call start_x.
set -euo pipefail
work=$(mktemp -d)
passed=0
xvfb=""
game=""
extra_pids=()

cleanup() {
  [ -n "$game" ] && kill "$game" 2>/dev/null
  for pid in "${extra_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  # Wait for the server to go, so the next run cannot meet its leftovers.
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; exit 1; }
ok() { echo "ok: $*"; passed=$((passed + 1)); }
# Polls a command for up to $1 seconds.
within() {
  local limit=$1; shift
  for _ in $(seq $((limit * 10))); do "$@" && return 0; sleep 0.1; done
  return 1
}

# A virtual X server on a free display (DISPLAY is set).
start_x() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$work/display")"
  export XDG_RUNTIME_DIR="$work"
}

# Openbox on the running server; windows mapped while it starts can be lost.
start_openbox() {
  openbox >/dev/null 2>&1 &
  extra_pids+=($!)
  for _ in $(seq 100); do wmctrl -l >/dev/null 2>&1 && break; sleep 0.1; done
}

# KWin, as Plasma runs it on X, without compositing; it announces itself
# (_NET_SUPPORTING_WM_CHECK) once it manages the screen.
start_kwin() {
  mkdir -m 0700 "$work/kwin"
  XDG_RUNTIME_DIR="$work/kwin" KWIN_COMPOSE=N dbus-run-session kwin_x11 --replace >"$work/kwin.log" 2>&1 &
  extra_pids+=($!)
  within 20 eval 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' ||
    fail "KWin did not start: $(tail -5 "$work/kwin.log")"
}

# Keypad 7, 8, 9 with Num Lock on: xdotool locks it around the key (the
# virtual server keeps no lock of its own).
keypad() { xdotool key "KP_$1"; }
# The same keys with Num Lock off: their raw key codes, which the server's
# keymap then reads as KP_Home, KP_Up, KP_Prior.
keypad_unlocked() { xdotool key $((72 + $1)); }

windows() { xdotool search --onlyvisible --class diamond 2>/dev/null | wc -l; }
at_least() { [ "$(windows)" -ge "$1" ]; }
exactly() { [ "$(windows)" -eq "$1" ]; }
# Absolute screen position of a window's client area.
origin() { xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}'; }
# Share of pixels of the given colour in a rectangle of screen pixels.
share() {
  import -window root -crop "$3x$4+$1+$2" +repage "$work/crop.png"
  convert "$work/crop.png" -fill black +opaque "$5" -fill white -opaque "$5" -format "%[fx:mean]" info:
}
# Saves a rectangle of screen pixels under a name, to compare later.
snap() { import -window root -crop "$4x$5+$2+$3" +repage "$work/$1.png"; }
# Two saved rectangles are the same, pixel for pixel.
same() { [ "$(compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1)" = 0 ]; }
# Twips of a window to pixels.
px() { echo $(($1 / 15)); }

# Grass left of the strike zone, twips 600, 2500 of the pitch screen.
field_shown() { [ "$(share "$((mx + 38))" "$((my + 165))" 4 4 '#008000')" = 1 ]; }
# The pitch screen's call label, at twips 2400, 2040 of its client area.
call_hidden() { [ "$(share "$((mx + 160))" "$((my + 136))" 81 25 '#008000')" = 1 ]; }
# The ball at its place on the mound, twips 2880, 480.
ball_on_mound() { [ "$(share "$((mx + 198))" "$((my + 38))" 5 5 '#FFFFFF')" = 1 ]; }
# A called pitch: the ball back on the mound and black text in the label (a
# ball flying through it is black and white too, but not on the mound).
call_shown() { ball_on_mound && [ "$(share "$((mx + 160))" "$((my + 136))" 81 25 '#000000')" != 0 ]; }

# Starts the game ($@) and waits for the pitch screen; sets main, mx, my.
start_game() {
  "$@" 2>"$work/game.log" &
  game=$!
  within 10 at_least 1 || fail "the pitch screen did not appear: $(cat "$work/game.log")"
  main=$(xdotool search --onlyvisible --name '^Diamond$' | head -1)
  read -r mx my < <(origin "$main")
}

# What the window manager lets the user do with a window, as one line.
actions() { xprop -id "$1" _NET_WM_ALLOWED_ACTIONS | sed 's/.*= //; s/_NET_WM_ACTION_//g'; }
allows() { [[ ", $(actions "$1")," == *", $2,"* ]]; }
# What the game asks for a window that no manager may move, minimise or
# close, read by value: it is override-redirect, so no manager lists it.
unmanaged() {
  xwininfo -id "$1" | grep -q "Override Redirect State: yes" &&
    ! xprop -root _NET_CLIENT_LIST | grep -q "$(printf '0x%x' "$1")"
}
untitled() { [ "$(xprop -id "$1" WM_NAME _NET_WM_NAME | sed 's/.*= //' | tr -d '\n')" = '' ]; }
active_window() { printf '%d' "$(xprop -root _NET_ACTIVE_WINDOW | sed 's/.*# //; s/,.*//')"; }
# Offset of the window's frame (as the manager reports it) from the centre
# of the screen, as "dx dy".
frame_offset() {
  local x y w h l r t b
  read -r x y w h < <(xwininfo -id "$1" |
    awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}')
  IFS=', ' read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/.*not found.*/0, 0, 0, 0/')
  read -r sw sh < <(xwininfo -root | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}')
  echo $(((2 * (x - l) + w + l + r - sw) / 2)) $(((2 * (y - t) + h + t + b - sh) / 2))
}
centred() { local dx dy; read -r dx dy < <(frame_offset "$1"); ((dx >= -2 && dx <= 2 && dy >= -2 && dy <= 2)); }
# Alt+drag from inside a window by 60, 48 pixels, as a user moves a window.
alt_drag() {
  local x y
  read -r x y < <(origin "$1")
  xdotool mousemove $((x + 30)) $((y + 30)) sleep 0.1 keydown alt sleep 0.1 mousedown 1 sleep 0.1
  for _ in 1 2 3 4 5 6; do xdotool mousemove_relative -- 10 8 sleep 0.05; done
  xdotool mouseup 1 sleep 0.1 keyup alt sleep 0.3
}
# The other visible game window than the pitch screen.
other_window() { xdotool search --onlyvisible --class diamond | grep -v "^$main$" | head -1; }
# Pitches with the command given and swings a timed Space at it until the
# hit view opens, at most eight times; `try` is the swing that hit.
swing_until_hit() {
  for try in $(seq 8); do
    "$@"
    sleep 0.36
    xdotool key space
    within 2 at_least 2 && return 0
    sleep 0.5
  done
  return 1
}

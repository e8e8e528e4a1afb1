#!/usr/bin/env bash
# The panel when its desktop fails around it: the real program on its own
# Xvfb, with the window manager absent at the start, killed while the panel
# runs and replaced by another; two copies side by side; SIGTERM and SIGHUP
# while a drag holds the left button down; and the X server killed under it.
#
#   run_faults.sh MOUSE RECORDER
#
# Prints PASS or FAIL per check; exits 0 when all pass, 1 otherwise, and 77
# when a tool it needs is missing. On failure the logs stay in the work
# directory, which is named.
set -u

mouse=${1:?usage: run_faults.sh MOUSE RECORDER}
recorder=${2:?usage: run_faults.sh MOUSE RECORDER}

# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"
require_tools Xvfb openbox xdotool wmctrl xwininfo xprop

readonly DELAY=1  # seconds, from setting.ini
readonly DROP_MS=5000
# Spots on the recorders, well away from the panels.
readonly SPOT_A="800 600" SPOT_B="900 700" SPOT_C="1000 800"

make_work mouse-faults

# new_panel NAME [LAUNCHER...]: a panel run from $work/NAME with Delay=1;
# exits when it does not appear.
new_panel() {
  mkdir -p "$work/$1"
  printf '[MouseSetting]\nDelay=%d\n' "$DELAY" >"$work/$1/setting.ini"
  if ! start_panel "$work/$1" "${@:2}"; then
    fail "panel $1 appears" "$(cat "$work/$1/stderr")"
    exit 1
  fi
}

# exactly_one_click SINCE: the recorder got one press and one release since
# line SINCE, and nothing else.
exactly_one_click() { [ "$(recorded_since "$1" | grep -c .)" -eq 2 ]; }

# check_dwell NAME WINDOW SPOT: a dwell on the Click button of WINDOW makes
# one left click at SPOT.
check_dwell() {
  local x y before
  read -r x y <<<"$3"
  before=$(recorded)
  if dwell_click "$2" "$CLICK_X" "$CLICK_Y" "$x" "$y" "$DELAY"; then
    sleep 0.3
    check "$1" "recorder: $(recorded_since "$before" | tr '\n' ';')" \
      exactly_one_click "$before"
  else
    fail "$1" "recorder: $(recorded_since "$before" | tr '\n' ';')"
  fi
}

# The X window ids from bottom to top, as the window manager stacks them.
stacking() {
  xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //' | tr -d ' ' | tr ',' '\n'
}
# is_above UPPER LOWER: the window manager stacks window UPPER above LOWER.
is_above() {
  local list upper lower
  list=$(stacking)
  upper=$(grep -nx "$(printf '0x%x' "$1")" <<<"$list" | cut -d: -f1)
  lower=$(grep -nx "$(printf '0x%x' "$2")" <<<"$list" | cut -d: -f1)
  [ -n "$upper" ] && [ -n "$lower" ] && [ "$upper" -gt "$lower" ]
}

start_xvfb

# --- No window manager at the start.
start_recorder "$work/recorder1.log"
win_r1=$recorder_window
new_panel a
pid_a=$panel_pid win_a=$panel_window
geometry=$(panel_geometry "$win_a")
check "without a window manager the panel appears at ($PANEL_X, $PANEL_Y), $PANEL_W x $PANEL_H" \
  "got $geometry" [ "$geometry" = "$PANEL_X $PANEL_Y $PANEL_W $PANEL_H" ]

# Shaped: outside the oval, a click goes through to the window beneath.
before=$(recorded)
read -r px py < <(to_screen 1 1 "$win_a")
xdotool mousemove "$px" "$py" click 1
check "without a window manager the panel is cut to its oval" \
  "recorder: $(recorded_since "$before" | tr '\n' ';')" \
  wait_until 3 has_click "$before" 1 "$px" "$py"
check_dwell "without a window manager a dwell click lands at the pointer" "$win_a" "$SPOT_A"

# --- A window manager comes; a second copy starts under it.
start_wm "$work/openbox1.log"
new_panel b
pid_b=$panel_pid win_b=$panel_window
# Out of the first one's way, so that each has its own buttons to rest on.
xdotool windowmove "$win_b" 700 "$PANEL_Y"
if ! wait_until 5 eval '[ "$(panel_origin "$win_b")" = "700 $PANEL_Y" ]'; then
  fail "the second panel moves aside" "at $(panel_origin "$win_b")"
fi
both_viewable() { is_viewable "$win_a" && is_viewable "$win_b"; }
check "two copies run side by side, each with its window" \
  "windows $win_a and $win_b" eval 'both_viewable && [ "$win_a" != "$win_b" ]'
check_dwell "the first copy's dwell click lands at its pointer" "$win_a" "$SPOT_A"
check_dwell "the second copy's dwell click lands at its pointer" "$win_b" "$SPOT_B"

# --- The window manager is killed while the panels run.
kill -KILL "$wm_pid"
wait "$wm_pid" 2>/dev/null
wait_until 5 eval '! wm_running'
check "both panels outlive the window manager" "" \
  eval 'is_running "$pid_a" && is_running "$pid_b" && is_viewable "$win_a" && is_viewable "$win_b"'
check_dwell "after the window manager is killed a dwell click still lands" "$win_a" "$SPOT_C"

# --- Another window manager takes over, and a normal window is raised over
# the panels' area: the panel stays above it and usable.
start_wm "$work/openbox2.log"
start_recorder "$work/recorder2.log"
win_r2=$recorder_window
wmctrl -i -a "$win_r2"
if wait_until 5 is_above "$win_r2" "$win_r1"; then
  check "under a new window manager the panel stays above a raised window" \
    "stacking: $(stacking | tr '\n' ' ')" is_above "$win_a" "$win_r2"
else
  fail "the new window manager raises the second recorder" "stacking: $(stacking | tr '\n' ' ')"
fi
check_dwell "under a new window manager a dwell click lands on the raised window" "$win_a" "$SPOT_A"

# --- A signal while a drag holds the left button: the button is let go
# before the program ends.

# check_drag_ended_by SIGNAL PID WINDOW DIR: chooses Drag&Drop on the panel
# WINDOW of process PID (run from DIR), sends SIGNAL once the press has
# landed, and checks the release and the exit.
check_drag_ended_by() {
  local signal=$1 pid=$2 window=$3 dir=$4 before px py ax ay cx cy rc
  local press_ms release_ms
  before=$(recorded)
  read -r px py < <(to_screen "$DRAG_X" "$DRAG_Y" "$window")
  read -r ax ay <<<"$SPOT_B"
  xdotool mousemove "$px" "$py"
  sleep_dwell
  xdotool mousemove "$ax" "$ay"
  if ! wait_until $((DELAY + 2)) has_line "$before" "^press 1 $ax $ay "; then
    fail "Drag&Drop presses at the pointer" "recorder: $(recorded_since "$before" | tr '\n' ';')"
    return
  fi
  press_ms=$(recorded_since "$before" | awk '/^press 1/ {print $5; exit}')
  kill -"$signal" "$pid"
  wait_exit "$pid" 5
  rc=$?
  check "SIG$signal during a drag ends the program with code 0" "exit code $rc" [ "$rc" -eq 0 ]
  if wait_until 2 has_line "$before" "^release 1 $ax $ay "; then
    release_ms=$(recorded_since "$before" | awk '/^release 1/ {print $5; exit}')
    # The drop itself would only come DROP_MS after the press.
    check "SIG$signal during a drag releases the held button at once" \
      "released $((release_ms - press_ms)) ms after the press" \
      [ $((release_ms - press_ms)) -lt $((DROP_MS - 1000)) ]
  else
    fail "SIG$signal during a drag releases the held button at once" \
      "recorder: $(recorded_since "$before" | tr '\n' ';')"
  fi
  check "... and writes nothing on stderr" "$(head -n5 "$dir/stderr")" [ ! -s "$dir/stderr" ]
  # A button left down would turn this click into a lone release.
  before=$(recorded)
  read -r cx cy <<<"$SPOT_C"
  xdotool mousemove "$cx" "$cy" click 1
  if wait_until 3 has_click "$before" 1 "$cx" "$cy"; then
    sleep 0.3
    check "... after which a click is a plain click" \
      "recorder: $(recorded_since "$before" | tr '\n' ';')" exactly_one_click "$before"
  else
    fail "... after which a click is a plain click" \
      "recorder: $(recorded_since "$before" | tr '\n' ';')"
  fi
}

check_drag_ended_by TERM "$pid_a" "$win_a" "$work/a"
# A hang-up, as from the terminal the panel was started from. env makes sure
# that the panel does not inherit it ignored.
new_panel c env --default-signal=HUP
check_drag_ended_by HUP "$panel_pid" "$panel_window" "$work/c"
check "ending one copy leaves the other running" "" \
  eval 'is_running "$pid_b" && is_viewable "$win_b"'

# --- The X server goes away: the program ends at once, saying so in one
# line, with a non-zero exit code and without a crash.
kill -TERM "$xvfb_pid"
gone_ms=$(now_ms)
wait_exit "$pid_b" 10
rc=$?
ended_ms=$(now_ms)
check "when the X server goes away the program ends (after $((ended_ms - gone_ms)) ms)" \
  "still running after 10 s" [ "$rc" -ne 124 ]
check "... with a non-zero exit code and no crash" "exit code $rc" \
  eval '[ "$rc" -ne 0 ] && [ "$rc" -lt 128 ] && [ -z "$(find "$work/b" -name "core*")" ]'
lines=$(grep -c . "$work/b/stderr")
check "... and one line on stderr" "$(head -n5 "$work/b/stderr")" \
  eval '[ "$lines" -eq 1 ] && grep -q "^mouse: .*X display" "$work/b/stderr"'
echo "  stderr: $(head -n1 "$work/b/stderr")"

finish faults

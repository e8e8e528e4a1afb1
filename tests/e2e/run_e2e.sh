#!/usr/bin/env bash
# The panel end to end: the real program on its own Xvfb under openbox,
# pointer moved and buttons pressed by xdotool, clicks landing in a real
# client (e2e_recorder) that logs what it receives.
#
#   run_e2e.sh MOUSE RECORDER [SCREENSHOT]
#
# Prints PASS or FAIL per check; exits 0 when all pass, 1 otherwise, and 77
# when a tool it needs is missing. With MOUSE_E2E_ARTIFACTS=DIR the logs and
# a screenshot of the panel are copied there; on failure they stay in the
# work directory, which is named.
set -u

mouse=${1:?usage: run_e2e.sh MOUSE RECORDER [SCREENSHOT]}
recorder=${2:?usage: run_e2e.sh MOUSE RECORDER [SCREENSHOT]}
screenshot=${3:-}

# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"
require_tools Xvfb openbox xdotool wmctrl xwininfo xprop

readonly DELAY=1   # seconds, from setting.ini

make_work mouse-e2e

# --- The desktop: Xvfb on a free display, openbox, the recorder.
start_xvfb
start_wm "$work/openbox.log"
start_recorder "$work/recorder.log"

# Spots on the recorder, well away from the panel.
readonly SPOT_A="800 600" SPOT_B="900 700"

dir1="$work/run1"
mkdir -p "$dir1"
printf '[MouseSetting]\r\nDelay=%d\r\n' "$DELAY" >"$dir1/setting.ini"
if ! start_panel "$dir1"; then
  fail "the panel appears" "$(cat "$dir1/stderr")"
  exit 1
fi
pass "the panel appears"

# Placement, size, no frame.
geometry=$(panel_geometry)
if [ "$geometry" = "$PANEL_X $PANEL_Y $PANEL_W $PANEL_H" ]; then
  pass "the panel is at ($PANEL_X, $PANEL_Y), $PANEL_W x $PANEL_H"
else
  fail "the panel is at ($PANEL_X, $PANEL_Y), $PANEL_W x $PANEL_H" "got $geometry"
fi
extents=$(xprop -id "$panel_window" _NET_FRAME_EXTENTS | sed 's/.*= //')
state=$(xprop -id "$panel_window" _NET_WM_STATE)
if [ "$extents" = "0, 0, 0, 0" ] && grep -q _NET_WM_STATE_ABOVE <<<"$state"; then
  pass "the panel has no frame and stays above"
else
  fail "the panel has no frame and stays above" "extents $extents; $state"
fi

# Let the first paint land, then keep a picture of the panel.
sleep 0.3
if [ -n "$screenshot" ]; then
  "$screenshot" "$work/panel.png" $((PANEL_X - 20)) $((PANEL_Y - 20)) \
    $((PANEL_W + 40)) $((PANEL_H + 40)) || true
fi

# A dwell-chosen left click: rest on Click, go to the target, wait.
before=$(recorded)
read -r cx cy < <(to_screen "$CLICK_X" "$CLICK_Y")
xdotool mousemove "$cx" "$cy"
rest_start=$(now_ms)
sleep "$(awk "BEGIN {print ($DWELL_MS + 300) / 1000}")"
if [ "$(recorded)" -ne "$before" ]; then
  fail "the dwell click lands on the panel, not on the recorder" "$(recorded_since "$before")"
fi
read -r ax ay <<<"$SPOT_A"
xdotool mousemove "$ax" "$ay"
if wait_until $((DELAY + 1)) has_click "$before" 1 "$ax" "$ay"; then
  landed=$(recorded_since "$before" | awk '/^press 1/ {print $5; exit}')
  pass "resting 3 s on Click clicks at the pointer $DELAY s later \
(landed $((landed - rest_start)) ms after the rest began)"
else
  fail "resting 3 s on Click clicks at the pointer $DELAY s later" \
    "recorder: $(recorded_since "$before" | tr '\n' ';')"
fi

# Leaving before the dwell is up chooses nothing.
before=$(recorded)
xdotool mousemove "$cx" "$cy"
sleep 1.5
read -r bx by <<<"$SPOT_B"
xdotool mousemove "$bx" "$by"
sleep $((DELAY + 3))
if [ "$(recorded)" -eq "$before" ]; then
  pass "leaving Click before 3 s injects nothing"
else
  fail "leaving Click before 3 s injects nothing" "$(recorded_since "$before" | tr '\n' ';')"
fi

# Outside the oval the panel is not there: a click reaches the recorder.
before=$(recorded)
read -r px py < <(to_screen 1 1)
xdotool mousemove "$px" "$py" click 1
if wait_until 3 has_click "$before" 1 "$px" "$py"; then
  pass "a click at panel (1, 1), outside the oval, reaches the window beneath"
else
  fail "a click at panel (1, 1), outside the oval, reaches the window beneath" \
    "recorder: $(recorded_since "$before" | tr '\n' ';')"
fi

# Dragging the skin moves the panel by the pointer's displacement.
before=$(recorded)
read -r ox oy < <(panel_origin)
read -r sx sy < <(to_screen "$SKIN_X" "$SKIN_Y")
xdotool mousemove "$sx" "$sy" mousedown 1
moved_to() { [ "$(panel_origin)" = "$1 $2" ]; }
# The window manager runs the move once it has the request; until then a
# motion moves nothing, so wiggle to the target until the panel follows.
wiggle_to() {
  xdotool mousemove $(($1 - 1)) $(($2 - 1)) mousemove "$1" "$2"
  sleep 0.05
  moved_to "$3" "$4"
}
if wait_until 5 wiggle_to $((sx + 50)) $((sy + 40)) $((ox + 50)) $((oy + 40)); then
  xdotool mouseup 1
  sleep 0.3
  if moved_to $((ox + 50)) $((oy + 40)) && [ "$(recorded)" -eq "$before" ]; then
    pass "dragging the skin by (+50, +40) moves the panel by as much"
  else
    fail "dragging the skin by (+50, +40) moves the panel by as much" \
      "now at $(panel_origin), from $ox $oy; recorder: $(recorded_since "$before" | tr '\n' ';')"
  fi
else
  xdotool mouseup 1
  fail "dragging the skin by (+50, +40) moves the panel by as much" \
    "still at $(panel_origin), from $ox $oy"
fi

# The window manager's close ends the program with code 0.
wmctrl -i -c "$panel_window"
wait_exit "$panel_pid" 5
rc=$?
if [ "$rc" -eq 0 ]; then
  pass "the window manager's close ends the program with code 0"
else
  fail "the window manager's close ends the program with code 0" "exit code $rc"
fi
if [ -s "$dir1/stderr" ]; then
  fail "the program writes nothing on stderr" "$(head -n5 "$dir1/stderr")"
fi

# SIGTERM ends it with code 0 too; without setting.ini none is made.
dir2="$work/run2"
mkdir -p "$dir2"
if ! start_panel "$dir2"; then
  fail "the panel appears without setting.ini" "$(cat "$dir2/stderr")"
  exit 1
fi
kill -TERM "$panel_pid"
wait_exit "$panel_pid" 5
rc=$?
if [ "$rc" -eq 0 ]; then
  pass "SIGTERM ends the program with code 0"
else
  fail "SIGTERM ends the program with code 0" "exit code $rc"
fi
if [ ! -e "$dir2/setting.ini" ]; then
  pass "no setting.ini is made where there was none"
else
  fail "no setting.ini is made where there was none"
fi

finish e2e

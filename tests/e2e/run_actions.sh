#!/usr/bin/env bash
# Every action of the panel through a real client: the real program on its
# own Xvfb under openbox, the pointer moved by xdotool, the clicks recorded
# by a plain X client. Also compares the panel on the screen with the
# simulated desktop's rendering of the same state.
#
#   run_actions.sh MOUSE RECORDER SCREENSHOT SIM_COMPARE
#
# Prints PASS or FAIL per check; exits 0 when all pass, 1 otherwise, and 77
# when a tool it needs is missing.
set -u

mouse=${1:?usage: run_actions.sh MOUSE RECORDER SCREENSHOT SIM_COMPARE}
recorder=${2:?}
screenshot=${3:?}
sim_compare=${4:?}

# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"
require_tools Xvfb openbox xdotool wmctrl xwininfo

readonly DELAY=1
readonly DROP_MS=5000
readonly DBCLICK_X=$((32 + 28)) DBCLICK_Y=$((56 + 34 + 16))
readonly RIGHT_X=$((96 + 24)) RIGHT_Y=$((56 + 50))

make_work mouse-actions
start_xvfb
start_wm "$work/openbox.log"
start_recorder "$work/recorder.log"
mkdir -p "$work/panel"
printf '[MouseSetting]\nDelay=%s\n' "$DELAY" >"$work/panel/setting.ini"
xdotool mousemove 1000 900
if ! start_panel "$work/panel"; then
  fail "the panel appears"
  exit 1
fi
# The first paint has been presented once the status line shows; give the
# server a moment to have it all.
sleep 0.5

read -r px py < <(panel_origin)
"$screenshot" "$work/panel.png" "$px" "$py" "$PANEL_W" "$PANEL_H"
if result=$("$sim_compare" "$work/panel.png" "$DELAY"); then
  pass "the panel on the screen matches the simulated rendering: $result"
else
  fail "the panel on the screen matches the simulated rendering" "$result"
fi

# rest_on BUTTON_X BUTTON_Y: the pointer rests on a panel button for a dwell.
rest_on() {
  local x y
  read -r x y < <(to_screen "$1" "$2")
  xdotool mousemove "$x" "$y"
  sleep_dwell
}

# A double click: four events at one spot, close enough in time that the
# client takes them as one double click (within 500 ms and 4 pixels).
before=$(recorded)
rest_on "$DBCLICK_X" "$DBCLICK_Y"
xdotool mousemove 800 600
wait_until $((DELAY + 3)) test "$(recorded_since "$before" | grep -c '^\(press\|release\) 1 800 600 ')" -ge 4
lines=$(recorded_since "$before" | grep '^\(press\|release\) 1 ')
span=$(awk 'NR == 1 {first = $5} {last = $5} END {print last - first}' <<<"$lines")
if [ "$(grep -c . <<<"$lines")" -eq 4 ] && [ "$(grep -c ' 800 600 ' <<<"$lines")" -eq 4 ] &&
  [ "$span" -le 500 ]; then
  pass "a chosen double click lands as one double click ($span ms from first press to last release)"
else
  fail "a chosen double click lands as one double click" "$(tr '\n' ';' <<<"$lines")"
fi

before=$(recorded)
rest_on "$RIGHT_X" "$RIGHT_Y"
xdotool mousemove 850 650
if wait_until $((DELAY + 3)) has_click "$before" 3 850 650; then
  pass "a chosen right click lands at the pointer"
else
  fail "a chosen right click lands at the pointer" "$(recorded_since "$before" | tr '\n' ';')"
fi

# Drag and drop: the press lands where the pointer is when the countdown
# ends, the release 5 s later wherever the pointer has been moved to.
before=$(recorded)
rest_on "$DRAG_X" "$DRAG_Y"
xdotool mousemove 700 500
if wait_until $((DELAY + 3)) has_line "$before" '^press 1 700 500 '; then
  xdotool mousemove 800 560 mousemove 900 650
  if wait_until $((DROP_MS / 1000 + 3)) has_line "$before" '^release 1 900 650 '; then
    press_t=$(recorded_since "$before" | awk '/^press 1 700 500 / {print $5; exit}')
    release_t=$(recorded_since "$before" | awk '/^release 1 900 650 / {print $5; exit}')
    pass "a chosen drag presses at one spot and drops at another $((release_t - press_t)) ms later"
  else
    fail "a chosen drag drops where the pointer is" "$(recorded_since "$before" | tr '\n' ';')"
  fi
else
  fail "a chosen drag presses at the pointer" "$(recorded_since "$before" | tr '\n' ';')"
fi

finish e2e_actions

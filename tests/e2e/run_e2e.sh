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

for tool in Xvfb openbox xdotool wmctrl xwininfo xprop; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed"
    exit 77
  fi
done

# Where the panel starts and what it is, in screen pixels.
readonly PANEL_X=297 PANEL_Y=229 PANEL_W=175 PANEL_H=258
readonly DELAY=1   # seconds, from setting.ini
readonly DWELL_MS=3000

work=$(mktemp -d "${TMPDIR:-/tmp}/mouse-e2e-XXXXXX")
pids=()
failures=0

cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  if [ -n "${MOUSE_E2E_ARTIFACTS:-}" ]; then
    mkdir -p "$MOUSE_E2E_ARTIFACTS" && cp -r "$work"/. "$MOUSE_E2E_ARTIFACTS"/
  fi
  if [ "$failures" -eq 0 ]; then
    rm -rf "$work"
  else
    echo "logs and screenshots kept in $work"
  fi
}
trap cleanup EXIT

pass() { echo "PASS: $1"; }
fail() {
  echo "FAIL: $1${2:+ ($2)}"
  failures=$((failures + 1))
}

# wait_until SECONDS COMMAND...: runs COMMAND every 50 ms until it succeeds.
wait_until() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.05
  done
}

# The monotonic clock the recorder stamps its lines with, in ms.
now_ms() { "$recorder" --now; }

# --- The desktop: Xvfb on a free display, openbox, the recorder.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" \
  2>"$work/xvfb.log" &
pids+=($!)
if ! wait_until 20 test -s "$work/display"; then
  fail "Xvfb starts" "see $work/xvfb.log"
  exit 1
fi
export DISPLAY=":$(head -n1 "$work/display")"

openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
if ! wait_until 20 wmctrl -m >/dev/null 2>&1; then
  fail "openbox starts" "see $work/openbox.log"
  exit 1
fi

"$recorder" "$work/recorder.log" &
pids+=($!)
if ! wait_until 10 grep -q '^ready$' "$work/recorder.log"; then
  fail "the recorder starts"
  exit 1
fi

# Lines the recorder has written so far, for "what came after".
recorded() { grep -c . "$work/recorder.log"; }
# recorded_since N: the lines after the first N.
recorded_since() { tail -n +"$(($1 + 1))" "$work/recorder.log"; }
# has_click SINCE BUTTON X Y: a press and a release of BUTTON at (X, Y).
has_click() {
  local lines
  lines=$(recorded_since "$1")
  grep -q "^press $2 $3 $4 " <<<"$lines" && grep -q "^release $2 $3 $4 " <<<"$lines"
}

# --- The panel.
panel_pid=""
panel_window=""

find_panel_window() {
  panel_window=$(xdotool search --onlyvisible --pid "$panel_pid" --name '^Mouse$' \
    2>/dev/null | head -n1)
  [ -n "$panel_window" ]
}

# start_panel DIR: runs a copy of the program from DIR, where its
# setting.ini is looked for, and waits for its window.
start_panel() {
  cp "$mouse" "$1/mouse"
  (cd "$1" && exec ./mouse 2>"$1/stderr") &
  panel_pid=$!
  pids+=("$panel_pid")
  panel_window=""
  wait_until 10 find_panel_window
}

# wait_exit PID SECONDS: waits for PID to end; its exit code, or 124.
wait_exit() {
  if ! wait_until "$2" eval "! kill -0 $1 2>/dev/null"; then
    return 124
  fi
  wait "$1"
}

# The panel's top-left corner on the screen, "X Y".
panel_origin() {
  xwininfo -id "$panel_window" |
    awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}'
}

# A point of the panel, in screen pixels: to_screen X Y.
to_screen() {
  local ox oy
  read -r ox oy < <(panel_origin)
  echo "$((ox + $1)) $((oy + $2))"
}

# The Click button of the left group: the group at (32, 56), the button
# filling its top 57 x 33.
readonly CLICK_X=$((32 + 28)) CLICK_Y=$((56 + 16))
# Bare skin: inside the oval, on no control.
readonly SKIN_X=20 SKIN_Y=128
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
geometry=$(xwininfo -id "$panel_window" |
  awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
       /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}')
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

if [ "$failures" -eq 0 ]; then
  echo "e2e: all checks passed"
  exit 0
fi
echo "e2e: $failures check(s) failed"
exit 1

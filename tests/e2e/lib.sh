# Shell functions shared by the end-to-end scripts (run_e2e.sh,
# run_faults.sh): a private X desktop, the recorder client, the panel, and
# PASS/FAIL bookkeeping. Sourced after the script has set `recorder` (the
# e2e_recorder executable) and `mouse` (the program).
#
# Every process started here is remembered by its PID and ended by it when
# the script exits; nothing is ever ended by name.

# Where the panel starts and what it is, in screen pixels.
readonly PANEL_X=297 PANEL_Y=229 PANEL_W=175 PANEL_H=258
readonly DWELL_MS=3000
# Buttons of the panel, from its top-left corner: the left group at (32, 56)
# holds Click in its top 57 x 33 and Drag&Drop 68 pixels lower.
readonly CLICK_X=$((32 + 28)) CLICK_Y=$((56 + 16))
readonly DRAG_X=$((32 + 28)) DRAG_Y=$((56 + 68 + 16))
# Bare skin: inside the oval, on no control.
readonly SKIN_X=20 SKIN_Y=128

pids=()
failures=0
work=""

# require_tools TOOL...: exits with 77 (skipped) when one is missing.
require_tools() {
  local tool
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "SKIP: $tool is not installed"
      exit 77
    fi
  done
}

# make_work NAME: the work directory, removed at exit unless a check failed.
make_work() {
  work=$(mktemp -d "${TMPDIR:-/tmp}/$1-XXXXXX")
  trap cleanup EXIT
}

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

pass() { echo "PASS: $1"; }
fail() {
  echo "FAIL: $1${2:+ ($2)}"
  failures=$((failures + 1))
}
# check NAME DETAIL COMMAND...: PASS when COMMAND succeeds, else FAIL with
# DETAIL.
check() {
  local name=$1 detail=$2
  shift 2
  if "$@"; then pass "$name"; else fail "$name" "$detail"; fi
}

# finish NAME: the closing line and exit code.
finish() {
  if [ "$failures" -eq 0 ]; then
    echo "$1: all checks passed"
    exit 0
  fi
  echo "$1: $failures check(s) failed"
  exit 1
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

# is_running PID: whether the process is still there.
is_running() { kill -0 "$1" 2>/dev/null; }
is_gone() { ! kill -0 "$1" 2>/dev/null; }

# wait_exit PID SECONDS: waits for PID to end; its exit code, or 124.
wait_exit() {
  if ! wait_until "$2" is_gone "$1"; then
    return 124
  fi
  wait "$1"
}

# The monotonic clock the recorder stamps its lines with, in ms.
now_ms() { "$recorder" --now; }

# Sleeps for a dwell and a margin, so that the panel's dwell click is made.
sleep_dwell() { sleep "$(awk "BEGIN {print ($DWELL_MS + 400) / 1000}")"; }

# --- The desktop.

xvfb_pid=""
# start_xvfb: an Xvfb on a display it chooses itself; sets DISPLAY.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" \
    2>"$work/xvfb.log" &
  xvfb_pid=$!
  pids+=("$xvfb_pid")
  if ! wait_until 20 test -s "$work/display"; then
    fail "Xvfb starts" "see $work/xvfb.log"
    exit 1
  fi
  export DISPLAY=":$(head -n1 "$work/display")"
}

wm_pid=""
wm_running() { wmctrl -m >/dev/null 2>&1; }
# start_wm LOG: openbox, once it manages the screen.
start_wm() {
  openbox --sm-disable >"$1" 2>&1 &
  wm_pid=$!
  pids+=("$wm_pid")
  if ! wait_until 20 wm_running; then
    fail "openbox starts" "see $1"
    exit 1
  fi
}

# --- The recorder, the panel's target. Its log is $recorder_log.

recorder_log=""
recorder_pid=""
recorder_window=""
recorder_windows() { xdotool search --name '^e2e recorder$' 2>/dev/null; }
# start_recorder LOG: a recorder writing to LOG (its stderr to LOG.stderr),
# once its window is mapped; sets recorder_window to that window.
start_recorder() {
  local known
  known=$(recorder_windows)
  recorder_log=$1
  "$recorder" "$recorder_log" 2>"$recorder_log.stderr" &
  recorder_pid=$!
  pids+=("$recorder_pid")
  # -s: the log does not exist until the recorder has opened it.
  if ! wait_until 10 grep -qs '^ready$' "$recorder_log"; then
    fail "the recorder starts"
    exit 1
  fi
  # It sets no _NET_WM_PID: its window is the one that is new.
  recorder_window=$(recorder_windows | grep -vxF "${known:-none}" | head -n1)
}

# Lines the recorder has written so far, for "what came after".
recorded() { grep -c . "$recorder_log"; }
# recorded_since N: the lines after the first N.
recorded_since() { tail -n +"$(($1 + 1))" "$recorder_log"; }
# has_click SINCE BUTTON X Y: a press and a release of BUTTON at (X, Y).
has_click() {
  local lines
  lines=$(recorded_since "$1")
  grep -q "^press $2 $3 $4 " <<<"$lines" && grep -q "^release $2 $3 $4 " <<<"$lines"
}
# has_line SINCE PATTERN: a line after the first SINCE matches PATTERN.
has_line() { recorded_since "$1" | grep -q "$2"; }

# --- The panel. Several may run; start_panel sets panel_pid and
# panel_window to the newest.

panel_pid=""
panel_window=""

# --all: xdotool's default is to match any one of the conditions.
find_panel_window() {
  panel_window=$(xdotool search --all --onlyvisible --pid "$panel_pid" --name '^Mouse$' \
    2>/dev/null | head -n1)
  [ -n "$panel_window" ]
}

# start_panel DIR [LAUNCHER...]: runs a copy of the program from DIR, where
# its setting.ini is looked for, through LAUNCHER if given (a command that
# ends by running its arguments, such as env), and waits for its window. Its
# stderr goes to DIR/stderr.
start_panel() {
  cp "$mouse" "$1/mouse"
  (cd "$1" && exec "${@:2}" ./mouse 2>"$1/stderr") &
  panel_pid=$!
  pids+=("$panel_pid")
  panel_window=""
  wait_until 10 find_panel_window
}

# The top-left corner of WINDOW (default: the panel) on the screen, "X Y".
panel_origin() {
  xwininfo -id "${1:-$panel_window}" |
    awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}'
}

# Where WINDOW (default: the panel) is and how big, "X Y W H".
panel_geometry() {
  xwininfo -id "${1:-$panel_window}" |
    awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
         /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}'
}

# Whether WINDOW is mapped and on the screen.
is_viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

# A point of the panel, in screen pixels: to_screen X Y [WINDOW].
to_screen() {
  local ox oy
  read -r ox oy < <(panel_origin "${3:-}")
  echo "$((ox + $1)) $((oy + $2))"
}

# dwell_click WINDOW BUTTON_X BUTTON_Y X Y DELAY: rests the pointer on the
# panel button at (BUTTON_X, BUTTON_Y) of WINDOW for a dwell, then moves it
# to (X, Y) and waits for the action to land there on the recorder. Returns
# whether a left click landed.
dwell_click() {
  local window=$1 bx=$2 by=$3 x=$4 y=$5 delay=$6 before px py
  before=$(recorded)
  read -r px py < <(to_screen "$bx" "$by" "$window")
  xdotool mousemove "$px" "$py"
  sleep_dwell
  xdotool mousemove "$x" "$y"
  wait_until $((delay + 2)) has_click "$before" 1 "$x" "$y"
}

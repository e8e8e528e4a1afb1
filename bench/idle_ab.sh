#!/usr/bin/env bash
# The idle cost of two builds of the panel, taken in turns on one Xvfb under
# openbox, so that what else the machine does falls on both alike: ROUNDS
# rounds of SECONDS each per program, the pointer away from the panel.
# Prints, per program, the CPU (% of one core, from /proc/PID/schedstat) and
# the voluntary context switches per second of every round, then medians.
#
#   bench/idle_ab.sh A/mouse B/mouse [ROUNDS [SECONDS]]
set -euo pipefail

a=$(realpath "$1")
b=$(realpath "$2")
rounds=${3:-4}
seconds=${4:-20}

work=$(mktemp -d "${TMPDIR:-/tmp}/mouse-idle-XXXXXX")
x_pid="" wm_pid=""
trap 'kill $wm_pid $x_pid 2>/dev/null; wait $wm_pid $x_pid 2>/dev/null; rm -rf "$work"' EXIT

wait_until() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.05
  done
}

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
x_pid=$!
wait_until 20 test -s "$work/display"
export DISPLAY=":$(head -n1 "$work/display")"
openbox --sm-disable >/dev/null 2>&1 &
wm_pid=$!
wait_until 20 wmctrl -m >/dev/null 2>&1
sleep 1  # openbox takes map requests a moment after it answers

# round SIDE PROGRAM: one idle round of PROGRAM; prints "CPU% WAKEUPS/S".
round() {
  local dir="$work/$1" pid t0 t1 v0 v1
  mkdir -p "$dir"
  cp "$2" "$dir/mouse"
  (cd "$dir" && exec ./mouse) &
  pid=$!
  sleep 2
  t0=$(cut -d' ' -f1 "/proc/$pid/schedstat")
  v0=$(awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$pid/status")
  sleep "$seconds"
  t1=$(cut -d' ' -f1 "/proc/$pid/schedstat")
  v1=$(awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$pid/status")
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  awk -v t="$((t1 - t0))" -v v="$((v1 - v0))" -v s="$seconds" \
    'BEGIN { printf "%.3f %.1f\n", t / 1e7 / s, v / s }'
}

# The pointer starts at the middle of the screen, away from the panel.
: >"$work/a.txt"
: >"$work/b.txt"
for ((i = 1; i <= rounds; i++)); do
  round a "$a" >>"$work/a.txt"
  round b "$b" >>"$work/b.txt"
done

median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2)}'; }
for side in a b; do
  program=$a
  [ "$side" = b ] && program=$b
  echo "$program: CPU % per round: $(cut -d' ' -f1 "$work/$side.txt" | tr '\n' ' ')"\
"(median $(cut -d' ' -f1 "$work/$side.txt" | median)); wake-ups/s: "\
"$(cut -d' ' -f2 "$work/$side.txt" | tr '\n' ' ')(median $(cut -d' ' -f2 "$work/$side.txt" | median))"
done

#!/usr/bin/env bash
# Measures the panel as its user feels it: the real program (a Release build
# of build/mouse) on its own Xvfb under openbox, beside a bare Xlib program
# that does the least the same job needs (bench/floor_panel), the floor.
# Not part of the tests: run it on demand, on a quiet machine, and record
# what it prints in docs/performance.md with the command that printed it.
#
#   bench/run_bench.sh [--quick] [--mouse PROGRAM] [--build DIR] [--samples DIR]
#
#   --quick          fewer repetitions (a trial run, not for the record)
#   --mouse PROGRAM  measures that binary instead of the fresh build's
#   --build DIR      the Release build directory (default: build-bench)
#   --samples DIR    keeps every sample there, one file per figure
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-bench
mouse=""
samples=""
startup=30 leave=300 dwell=100 idle=60
while [ $# -gt 0 ]; do
  case "$1" in
    --quick) startup=10 leave=50 dwell=10 idle=10 ;;
    --mouse) mouse=$(realpath "$2"); shift ;;
    --build) build=$2; shift ;;
    --samples) samples=$(realpath -m "$2"); shift ;;
    *) echo "usage: $0 [--quick] [--mouse PROGRAM] [--build DIR] [--samples DIR]" >&2; exit 2 ;;
  esac
  shift
done

scripts/install-deps.sh bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DMOUSE_BUILD_TESTS=OFF \
  -DMOUSE_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target mouse panel_probe floor_panel sim_memory >/dev/null
build=$(realpath "$build")
[ -n "$mouse" ] || mouse="$build/mouse"

readonly DELAY=1  # seconds, the action delay of both programs
work=$(mktemp -d "${TMPDIR:-/tmp}/mouse-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT

# wait_until SECONDS COMMAND...: runs COMMAND every 50 ms until it succeeds.
wait_until() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.05
  done
}

# measure NAME DIR OUT PROBE-OPTION... -- PROGRAM...: the probe's figures for
# PROGRAM, started in DIR, on a desktop of its own (Xvfb and openbox, ended
# with it); written to OUT.
measure() {
  local name=$1 dir=$2 out=$3
  shift 3
  (
    x_pid="" wm_pid=""
    trap 'kill $wm_pid $x_pid 2>/dev/null; wait $wm_pid $x_pid 2>/dev/null' EXIT
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$out.display" \
      2>"$out.xvfb.log" &
    x_pid=$!
    wait_until 20 test -s "$out.display"
    export DISPLAY=":$(head -n1 "$out.display")"
    openbox --sm-disable >"$out.openbox.log" 2>&1 &
    wm_pid=$!
    wait_until 20 wmctrl -m >/dev/null 2>&1
    local keep=()
    if [ -n "$samples" ]; then
      mkdir -p "$samples/$name"
      keep=(--samples "$samples/$name")
    fi
    echo "measuring $name on $DISPLAY: $*" >&2
    cd "$dir" && "$build/bench/panel_probe" "${keep[@]}" --server-pid "$x_pid" \
      --delay "$DELAY" "$@" >"$out"
  )
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
mkdir -p "$work/mouse-dir"
cp "$mouse" "$work/mouse-dir/mouse"
printf '[MouseSetting]\r\nDelay=%d\r\n' "$DELAY" >"$work/mouse-dir/setting.ini"
floor=("$build/bench/floor_panel" "$DELAY")
# Start-up one program at a time, so that neither slows the other's.
only_startup=(--startup "$startup" --leave 0 --dwell 0 --idle 0)
measure mouse "$work/mouse-dir" "$work/mouse.startup.txt" "${only_startup[@]}" -- ./mouse
measure floor "$work" "$work/floor.startup.txt" "${only_startup[@]}" -- "${floor[@]}"
# The rest side by side, each on its own server: they mostly sleep, and
# whatever else the machine does then disturbs both alike.
rest=(--startup 0 --leave "$leave" --dwell "$dwell" --idle "$idle")
measure mouse "$work/mouse-dir" "$work/mouse.txt" "${rest[@]}" -- ./mouse &
mouse_job=$!
measure floor "$work" "$work/floor.txt" "${rest[@]}" -- "${floor[@]}" &
floor_job=$!
wait "$mouse_job" "$floor_job"
cat "$work/mouse.startup.txt" >>"$work/mouse.txt"
cat "$work/floor.startup.txt" >>"$work/floor.txt"
"$build/bench/sim_memory" 1000 >"$work/sim.txt"
"$build/bench/sim_memory" 3000 >"$work/sim3000.txt"
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

# figure NAME FILE: "MEDIAN P99" (or "VALUE -") of a figure in a probe's output.
figure() {
  awk -v n="$1" '$1 == n { print $2, (NF > 2 ? $3 : "-"); exit }' "$2"
}
ratio() {
  awk -v a="$1" -v b="$2" 'BEGIN { if (a == "-" || b == "-" || b + 0 == 0) print "-";
                                    else printf "%.1f", a / b }'
}

echo "# $(date -u +%Y-%m-%dT%H:%MZ), commit $(git rev-parse --short HEAD), $(nproc) cores,"\
"load $load_before before, $load_after after"
echo "# program: $mouse ($(sha256sum "$mouse" | cut -c1-12))"
echo "# repetitions: start-up $startup, pointer-left $leave, dwell and action $dwell;"\
"idle ${idle} s; Delay $DELAY s"
printf '| %-36s | %-13s | %9s | %9s | %9s | %9s | %11s |\n' \
  Figure Goal "Mouse med" "Mouse p99" "Floor med" "Floor p99" "Ratio (med)"
printf '|%s|%s|%s|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..38})" \
  "$(printf -- '-%.0s' {1..15})" "-----------" "-----------" "-----------" "-----------" \
  "-------------"
row() {  # row LABEL GOAL NAME
  local m f
  read -r mm mp < <(figure "$3" "$work/mouse.txt")
  read -r fm fp < <(figure "$3" "$work/floor.txt")
  printf '| %-36s | %-13s | %9s | %9s | %9s | %9s | %11s |\n' "$1" "$2" "$mm" "$mp" "$fm" \
    "$fp" "$(ratio "$mm" "$fm")"
}
row "Dwell click error (ms)" "p99 <= 2" dwell_abs_error_ms
row "Action error, at the server (ms)" "p99 <= 2" action_abs_error_ms
row "Action error, at the recorder (ms)" "p99 <= 2" action_recorded_abs_error_ms
row "Pointer-left reaction (ms)" "<1, p99 <5" leave_ms
row "Idle CPU, utime+stime (% core)" "< 0.2" idle_cpu_percent
row "Idle CPU, schedstat (% core)" "< 0.2" idle_run_percent
row "Idle wake-ups (voluntary/s)" "-" idle_wakeups_per_s
row "Idle X server CPU (% core)" "-" idle_xserver_run_percent
row "Peak RSS after start (kB)" "<= 12288" vmhwm_start_kb
row "Peak RSS after $dwell actions (kB)" "no growth" vmhwm_after_kb
row "Peak RSS after the Thai hint (kB)" "<= 12288" vmhwm_hint_kb
row "RSS after the Thai hint (kB)" "-" vmrss_hint_kb
row "Start-up to first paint (ms)" "< 60" startup_ms
echo
for f in "$work/sim.txt" "$work/sim3000.txt"; do
  read -r n _ < <(figure sim_actions "$f")
  read -r s0 _ < <(figure sim_vmhwm_start_kb "$f")
  read -r s1 _ < <(figure sim_vmhwm_after_kb "$f")
  read -r g _ < <(figure sim_heap_growth_kb "$f")
  read -r r _ < <(figure sim_records_kb "$f")
  echo "Simulated desktop, $n actions: peak RSS $s0 kB after start, $s1 kB after;"\
"heap in use grew $g kB, of which $r kB are the simulated desktop's own records."
done

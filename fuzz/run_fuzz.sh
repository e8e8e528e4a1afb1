#!/usr/bin/env bash
# One short fuzzing run as a test:
#
#   run_fuzz.sh FUZZER SECONDS WORKDIR SEED-DIR...
#
# Starts from the files in the SEED-DIRs, which are only read; what the run
# finds new goes to WORKDIR/corpus, emptied first, so that a run with the
# same seed starts from the same place. Fails when the fuzzer reports a
# crash, a sanitizer finding, a leak or a hang (10 s on one input); the input
# that caused it stays in WORKDIR/artifacts/ and the command that replays it
# is printed. The random seed is printed too; MOUSE_FUZZ_SEED=N uses N.
set -u

fuzzer=${1:?usage: run_fuzz.sh FUZZER SECONDS WORKDIR SEED-DIR...}
seconds=${2:?usage: run_fuzz.sh FUZZER SECONDS WORKDIR SEED-DIR...}
work=${3:?usage: run_fuzz.sh FUZZER SECONDS WORKDIR SEED-DIR...}
shift 3
name=$(basename "$fuzzer")

for dir in "$@"; do
  if [ ! -d "$dir" ] || [ -z "$(ls -A "$dir")" ]; then
    echo "FAIL: $name: no seed files in $dir"
    exit 1
  fi
done

rm -rf "$work/corpus" "$work/artifacts"
mkdir -p "$work/corpus" "$work/artifacts"
# libFuzzer takes 0 for "choose one"; it must be chosen here to be printed.
seed=${MOUSE_FUZZ_SEED:-$(($(od -An -N4 -tu4 /dev/urandom) % 2147483646 + 1))}
echo "$name: ${seconds} s from $# seed folder(s), seed $seed" \
  "(MOUSE_FUZZ_SEED=$seed repeats the run)"

"$fuzzer" -seed="$seed" -max_total_time="$seconds" -timeout=10 \
  -artifact_prefix="$work/artifacts/" -print_final_stats=1 \
  "$work/corpus" "$@" >"$work/fuzz.log" 2>&1
rc=$?

found=$(find "$work/artifacts" -type f)
if [ "$rc" -eq 0 ] && [ -z "$found" ] && grep -q '^Done [0-9]* runs' "$work/fuzz.log"; then
  grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added|stat::peak_rss_mb)' \
    "$work/fuzz.log"
  echo "PASS: $name"
  exit 0
fi

tail -n 60 "$work/fuzz.log"
echo "FAIL: $name (exit code $rc; full log in $work/fuzz.log)"
for input in $found; do
  echo "  input kept in $input; replay: $fuzzer $input"
done
exit 1

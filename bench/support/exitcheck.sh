#!/usr/bin/env bash
# exitcheck.sh BENCHMARK: the benchmark run small (two wells where it takes a well count, the
# least time per benchmark) must end with code 0, print no Qt warning on standard error and
# leave nothing in its temporary folder or in the user's data folder.
set -u
bench="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/tmp" "$work/data" "$work/runtime"
chmod 700 "$work/runtime"
TMPDIR="$work/tmp" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime" LUMARA_BENCH_WELLS=2 \
  QT_MESSAGE_PATTERN='QTMSG %{type}: %{message}' \
  "$bench" --benchmark_min_time=0.01 > "$work/out" 2> "$work/err"
status=$?
fault=0
if [ "$status" -ne 0 ]; then
  echo "$(basename "$bench") ended with $status"
  fault=1
fi
if grep -E '^QTMSG (warning|critical|fatal)' "$work/err"; then
  fault=1
fi
left="$(find "$work/tmp" "$work/data" -mindepth 1)"
if [ -n "$left" ]; then
  printf 'Left behind:\n%s\n' "$left"
  fault=1
fi
[ "$fault" -eq 0 ] || tail -n 40 "$work/err"
exit "$fault"

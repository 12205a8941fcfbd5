#!/usr/bin/env bash
# ThreadSanitizer run of the headless end-to-end driver: re-analysis, compensation and merge on
# a generated run archive. Kept out of ./lumara.sh test for its time; run it by hand:
#   tools/tsan.sh                       (build in build-tsan, then run the default steps)
#   tools/tsan.sh --matrix --merge      (other steps: the driver's options)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="$(nproc 2>/dev/null || echo 4)"
# The build runs the asset tool, itself built with the checker: the same suppressions.
export TSAN_OPTIONS="suppressions=$here/tools/tsan.supp:halt_on_error=1:second_deadlock_stack=1"
cmake -S "$here" -B "$here/build-tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMARA_TSAN=ON -DLUMARA_BENCH=OFF >/dev/null
cmake --build "$here/build-tsan" -j "$jobs" --target lumara_e2e_driver lumara_data
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
[ $# -gt 0 ] || set -- --reanalyse --exclude 7 --matrix --reset --merge
cd "$here/build-tsan/bin"
LUMARA_ROOT="$work/machine" QT_QPA_PLATFORM=offscreen \
  ./lumara_e2e --dir "$work" --wells 3 --threads 8 "$@"

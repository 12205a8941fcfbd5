#!/usr/bin/env bash
# ThreadSanitizer runs, kept out of ./lumara.sh test for their time; run them by hand:
#   tools/tsan.sh                       (build in build-tsan, then the headless end-to-end
#                                        driver's default steps and the journeys of the long
#                                        jobs through the main window)
#   tools/tsan.sh --matrix --merge      (only the driver, with other steps: its options)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="$(nproc 2>/dev/null || echo 4)"
# The build runs the asset tool, itself built with the checker: the same suppressions.
export TSAN_OPTIONS="suppressions=$here/tools/tsan.supp:halt_on_error=1:second_deadlock_stack=1"
cmake -S "$here" -B "$here/build-tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMARA_TSAN=ON -DLUMARA_BENCH=OFF >/dev/null
journeys=0
if [ $# -eq 0 ]; then
  journeys=1
  set -- --reanalyse --exclude 7 --matrix --reset --merge
fi
targets=(lumara_e2e_driver lumara_data)
[ "$journeys" -eq 0 ] || targets+=(tst_journey_longjobs)
cmake --build "$here/build-tsan" -j "$jobs" --target "${targets[@]}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$here/build-tsan/bin"
LUMARA_ROOT="$work/machine" QT_QPA_PLATFORM=offscreen \
  ./lumara_e2e --dir "$work" --wells 3 --threads 8 "$@"
if [ "$journeys" -eq 1 ]; then
  # The test sets its own per-machine folder; the offscreen windows need no display.
  QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software ./tst_journey_longjobs
fi

#!/usr/bin/env bash
# Project entry point: ./lumara.sh run [FILE] | test (the program itself lives in lumara/)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
jobs="$(nproc 2>/dev/null || echo 4)"

install_packages() {
  local wanted missing=()
  wanted=$(grep -vE '^\s*(#|$)' "$here/tools/debian-packages.txt")
  for p in $wanted; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build_tree() { # dir, extra cmake args...
  local dir="$1"; shift
  cmake -S "$here" -B "$here/$dir" "$@" >/dev/null
  cmake --build "$here/$dir" -j "$jobs"
}

run_tests() { # dir, extra ctest args...
  local dir="$1"; shift
  # The "fuzz" label is left out for its time: ./lumara.sh fuzz runs it.
  ctest --test-dir "$here/$dir" --output-on-failure -j "$jobs" -LE fuzz "$@"
}

cmd_test() {
  install_packages
  build_tree build -DCMAKE_BUILD_TYPE=Release
  run_tests build
  build_tree build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMARA_SANITIZE=ON -DLUMARA_BENCH=OFF
  ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" \
  LSAN_OPTIONS="suppressions=$here/tools/lsan.supp:print_suppressions=0" \
  UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
    run_tests build-asan
}

# The demo package: 12 wells, three targets on three channels, positive fractions from 0.5 %
# to 60 % (rising for one target, falling for another) and a last well with almost none.
make_demo() { # path
  local out="$1" partial fractions=(0.005 0.01 0.02 0.04 0.08 0.12 0.18 0.25 0.33 0.45 0.60) plan=()
  for i in "${!fractions[@]}"; do
    plan+=(--well-fraction "$((i + 1)):FAM-Target=${fractions[$i]}"
           --well-fraction "$((i + 1)):HEX-Target=${fractions[$((10 - i))]}")
  done
  plan+=(--well-fraction 12:FAM-Target=0.0005 --well-fraction 12:HEX-Target=0.0005
         --well-fraction 12:CY5-Target=0.0005)
  mkdir -p "$(dirname "$out")"
  partial="$(dirname "$out")/partial-demo.imrs"
  echo "Making the demo package $out"
  "$here/build/bin/mkpackage" -q -w 12 -d 2000 --seed 11 \
    -t FAM-Target:FAM:0.1 -t HEX-Target:HEX:0.1 -t CY5-Target:CY5:0.1 "${plan[@]}" "$partial"
  mv "$partial" "$out"
  mv "$partial.truth.json" "$out.truth.json"
}

cmd_run() {
  local file=""
  if [ $# -gt 1 ]; then echo "usage: ./lumara.sh run [FILE]" >&2; exit 2; fi
  if [ $# -eq 1 ]; then
    file="$(realpath -e -- "$1" 2>/dev/null)" || { echo "No such file: $1" >&2; exit 2; }
  fi
  install_packages
  cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$here/build" -j "$jobs" --target Lumara mkpackage lumara_tour lumara_data
  if [ -z "$file" ]; then
    file="$here/build/demo/demo.imrs"
    [ -f "$file" ] || make_demo "$file"
  fi
  # From bin/, so that the program finds its data folder as ../data.
  cd "$here/build/bin"
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): running the page tour into build/tour/ instead."
    rm -rf "$here/build/tour"
    xvfb-run -a -s "-screen 0 1920x1080x24" "$here/build/bin/lumara_tour" "$file" "$here/build/tour"
    return
  fi
  exec "$here/build/bin/Lumara" "$file"
}

cmd_fuzz() {
  install_packages
  build_tree build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMARA_SANITIZE=ON -DLUMARA_BENCH=OFF
  ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" \
  LSAN_OPTIONS="suppressions=$here/tools/lsan.supp:print_suppressions=0" \
  UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
    ctest --test-dir "$here/build-asan" --output-on-failure -L fuzz
}

case "${1:-help}" in
  run) shift; cmd_run "$@" ;;
  test) cmd_test ;;
  fuzz) cmd_fuzz ;;
  *) echo "usage: ./lumara.sh run [FILE]   (build and start the program on FILE, or on a demo package)"
     echo "       ./lumara.sh test         (install dependencies, build, run all tests incl. sanitizer build)"
     echo "       ./lumara.sh fuzz         (every damaged-package case in the sanitizer build)"
     exit 2 ;;
esac

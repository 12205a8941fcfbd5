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
    "$here/tools/mkdemo.sh" "$here/build/bin/mkpackage" "$file"
  fi
  # From bin/, so that the program finds its data folder as ../data.
  cd "$here/build/bin"
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): running the page tour into build/tour/ instead."
    rm -rf "$here/build/tour"
    # Without a login session there is no runtime folder; Qt would warn and use a shared one.
    if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
      XDG_RUNTIME_DIR="$(mktemp -d)"
      export XDG_RUNTIME_DIR
      trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
    fi
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

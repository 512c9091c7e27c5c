#!/usr/bin/env bash
# tessan's one entry point on a Debian 12 machine (run as root on a fresh one).
#   ./build.sh          install what is missing, build, compile the sample chart
#   ./build.sh test     install what is missing, build, run the whole test suite
#                       (normal build, then the sanitized build, then a short fuzz run)
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD
jobs=$(nproc 2>/dev/null || echo 2)

packages=(
  build-essential cmake g++ clang llvm libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  flex bison libfl-dev
  libfltk1.3-dev
  libbdd-dev berkeley-abc ghdl
  xvfb xauth xfonts-base fonts-dejavu-core xdotool x11-utils imagemagick
  fig2dev libxml2-utils poppler-utils ghostscript qpdf
)

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if ((${#missing[@]})); then
    echo "installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

configure_and_build() { # <dir> [cmake args...]
  local dir=$1; shift
  cmake -S "$root" -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

# One private X server for the whole run; tests find it through DISPLAY.
# -noreset: by default the server resets whenever its last client leaves, and
# a test program that connects during the reset finds no display.
# -auth: only holders of the run's cookie may connect. Any local process may
# open a display without one, and the windows of another run put on ours
# would cover the windows whose pixels the tests read back.
xvfb_pid=
start_display() {
  local fifo cookie; fifo=$(mktemp -u); mkfifo "$fifo"; cookie=$(mcookie)
  export XAUTHORITY; XAUTHORITY=$(mktemp)
  xauth -q -f "$XAUTHORITY" add :0 . "$cookie"  # the server takes every cookie of the file
  Xvfb -displayfd 3 -auth "$XAUTHORITY" -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill "$xvfb_pid" 2>/dev/null || true; rm -f "$XAUTHORITY"' EXIT
  local number=; read -r number <"$fifo" || true; rm -f "$fifo"
  if [ -z "$number" ]; then
    echo "build.sh: the X server for the window tests did not start" >&2
    exit 1
  fi
  xauth -q -f "$XAUTHORITY" add ":$number" . "$cookie"
  export DISPLAY=":$number"
}

build() {
  install_missing
  configure_and_build build -DCMAKE_BUILD_TYPE=Release
  if [ -x build/app/tessan ]; then
    (cd examples && "$root/build/app/tessan" traffic_light.gal && echo "examples/traffic_light.strl written")
  else
    echo "built: $(ls build/*/libtessan_*.a 2>/dev/null | xargs -n1 basename | tr '\n' ' ')"
  fi
}

run_tests() {
  install_missing
  configure_and_build build -DCMAKE_BUILD_TYPE=Release
  start_display
  ctest --test-dir build -j "$jobs" --output-on-failure
  configure_and_build build-sanitize -DCMAKE_BUILD_TYPE=sanitize \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTESSAN_BENCH=OFF -DTESSAN_FUZZ=ON
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-sanitize -j "$jobs" --output-on-failure
  if [ -x scripts/fuzz-short ]; then scripts/fuzz-short build-sanitize; fi
}

case "${1:-build}" in
  build) build ;;
  test) run_tests ;;
  *) echo "usage: $0 [build|test]" >&2; exit 2 ;;
esac

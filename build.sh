#!/usr/bin/env bash
# Marbeck set-up: installs the missing Debian packages, builds, then starts the program or runs the tests.
#   ./build.sh run    build and start the program
#   ./build.sh test   build and run every test through ctest, again under the sanitizers, then
#                     each fuzz target for 30 s (MARBECK_FUZZ_SECONDS to change it)
set -euo pipefail
cd "$(dirname "$0")"

action=${1:-run}
jobs=$(nproc 2>/dev/null || echo 2)

common_pkgs=(cmake ninja-build g++ pkg-config qt6-base-dev libzbar-dev libpng-dev libcli11-dev scdoc
             fonts-liberation fonts-dejavu-core)
test_pkgs=(libgtest-dev libgmock-dev libbenchmark-dev zbar-tools
           libqrencode-dev libqrcodegencpp-dev libzint-dev clang libclang-rt-14-dev clang-format
           python3-vobject poppler-utils librsvg2-bin qt6-svg-dev python3-segno qrencode
           dpkg-dev desktop-file-utils appstream)

install_missing() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing Debian packages: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

configure_and_build() { # <build dir> <cmake options...>
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

case "$action" in
  run)
    install_missing "${common_pkgs[@]}"
    configure_and_build build -DCMAKE_BUILD_TYPE=Release -DMARBECK_BUILD_TESTS=OFF -DMARBECK_BUILD_BENCH=OFF
    exec build/app/marbeck
    ;;
  test)
    install_missing "${common_pkgs[@]}" "${test_pkgs[@]}"
    export QT_QPA_PLATFORM=offscreen
    # 0. One style: every C++ source as .clang-format lays it out.
    git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
    # 1. The normal build and every test but the long ones (ctest -L long runs those).
    configure_and_build build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARBECK_WERROR=ON
    ctest --test-dir build-test --output-on-failure -j "$jobs" -LE long
    # 2. The same tests under AddressSanitizer (leaks included) and UndefinedBehaviorSanitizer: any
    #    report fails the test that made it. Nothing is suppressed.
    configure_and_build build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARBECK_SANITIZE=ON -DMARBECK_BUILD_BENCH=OFF -DMARBECK_WERROR=ON
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1 \
      UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
      ctest --test-dir build-asan --output-on-failure -j "$jobs" -LE long
    # 3. Every fuzz target for a bounded time under the sanitizers; a finding fails the run and its
    #    reproducer stays in fuzz/findings/<target>/.
    CXX=clang++ configure_and_build build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARBECK_FUZZ=ON -DMARBECK_WERROR=ON
    ./fuzz/run.sh build-fuzz "${MARBECK_FUZZ_SECONDS:-30}"
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac

#!/usr/bin/env bash
# Marbeck set-up: installs the missing Debian packages, builds, then starts the program or runs the tests.
#   ./build.sh run    build and start the program
#   ./build.sh test   build and run every test through ctest
set -euo pipefail
cd "$(dirname "$0")"

action=${1:-run}
jobs=$(nproc 2>/dev/null || echo 2)

common_pkgs=(cmake ninja-build g++ pkg-config qt6-base-dev fonts-dejavu-core)
test_pkgs=(libgtest-dev libgmock-dev libbenchmark-dev libzbar-dev
           libqrencode-dev libqrcodegencpp-dev libzint-dev clang libclang-rt-14-dev)

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
    if [ -x build/app/marbeck ]; then
      exec build/app/marbeck
    else
      echo "Built the libraries; the desktop program is not part of this build yet."
    fi
    ;;
  test)
    install_missing "${common_pkgs[@]}" "${test_pkgs[@]}"
    configure_and_build build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo
    QT_QPA_PLATFORM=offscreen ctest --test-dir build-test --output-on-failure -j "$jobs"
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac

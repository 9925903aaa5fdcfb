#!/usr/bin/env bash
# Marbeck set-up: installs the missing Debian packages, builds, then starts the program or runs the tests.
#   ./build.sh run    build (Release, in build/) and start the program
#   ./build.sh build  only the build that run starts
#   ./build.sh test   every stage below, in order, stopping at the first fault; their times at the end
#   ./build.sh test STAGE...  only the named stages: style release tests sanitizers fuzz
set -euo pipefail
cd "$(dirname "$0")"

action=${1:-run}
jobs=$(nproc 2>/dev/null || echo 2)

common_pkgs=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-svg-dev libzbar-dev libpng-dev
             libcli11-dev scdoc libzip-dev zlib1g-dev fonts-liberation fonts-dejavu-core
             qt6-l10n-tools qt6-translations-l10n)
test_pkgs=(libgtest-dev libgmock-dev libbenchmark-dev zbar-tools
           libqrencode-dev libqrcodegencpp-dev libzint-dev clang libclang-rt-14-dev clang-format
           python3-vobject poppler-utils librsvg2-bin python3-segno qrencode
           python3-icalendar python3-stdnum
           dpkg-dev desktop-file-utils appstream lintian unzip parallel dbus-daemon
           xvfb at-spi2-core gir1.2-atspi-2.0)

# The user's build: what ./build.sh run starts and what the README's package commands build.
release_opts=(-DCMAKE_BUILD_TYPE=Release -DMARBECK_BUILD_TESTS=OFF -DMARBECK_BUILD_BENCH=OFF)

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
apt_get() { DEBIAN_FRONTEND=noninteractive $sudo apt-get "$@" </dev/null; }

install_missing() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing Debian packages: ${missing[*]}"
  apt_get update -qq
  apt_get install -y -qq --no-install-recommends "${missing[@]}"
}

configure_and_build() { # <build dir> <cmake options...>
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

build_release() { # <build dir> [more cmake options...]: the one build users make
  local dir=$1; shift
  configure_and_build "$dir" "${release_opts[@]}" "$@"
}

# Starts a window on the offscreen platform with a scratch home, fails unless it still runs after
# 3 s, then ends it.
window_survives() { # <program>
  local home pid
  home=$(mktemp -d)
  HOME=$home XDG_CONFIG_HOME=$home/.config QT_QPA_PLATFORM=offscreen "$1" &
  pid=$!
  sleep 3
  if ! kill -0 "$pid" 2>/dev/null; then
    local status=0
    wait "$pid" || status=$?
    echo "FAIL: $1 ended within 3 s (exit status $status)" >&2
    rm -rf "$home"
    return 1
  fi
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  rm -rf "$home"
  echo "$1 ran for 3 s"
}

code_verifies() { # <marbeck-cli>: makes two codes (PNG and SVG) and reads them back
  local dir
  dir=$(mktemp -d)
  "$1" url https://example.org/marbeck -o "$dir/code.png" --verify
  "$1" vcard --first-name Ada --last-name Lovelace --company 'Analytical Engines' -o "$dir/ada.svg" --verify
  if [ ! -s "$dir/code.png" ] || [ ! -s "$dir/ada.svg" ]; then
    echo "FAIL: $1 wrote no code" >&2
    return 1
  fi
  rm -rf "$dir"
  echo "$1 made and verified two codes"
}

purge_marbeck() { # whatever state an earlier run left it in, configuration files included
  if dpkg -s marbeck >/dev/null 2>&1; then
    apt_get remove --purge -y -qq marbeck
  fi
}

stage_style() { # One style: every C++ source as .clang-format lays it out.
  git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
}

stage_release() { # The build, the package and the install a user makes, warnings as errors.
  # The README's package commands are the release build plus cpack; keep them the same build.
  if ! grep -qxF "    cmake -S . -B build -G Ninja ${release_opts[*]}" README.md ||
     ! grep -qxF "    (cd build && cpack -G DEB)" README.md; then
    echo "FAIL: the README's package commands differ from the build of ./build.sh run" >&2
    return 1
  fi
  build_release build-release -DMARBECK_WERROR=ON
  window_survives build-release/app/marbeck
  code_verifies build-release/cli/marbeck-cli

  rm -f build-release/marbeck_*.deb
  (cd build-release && cpack -G DEB >/dev/null)
  local debs=(build-release/marbeck_*.deb)
  if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "FAIL: cpack made no single .deb" >&2
    return 1
  fi
  echo "lintian ${debs[0]}"
  lintian --fail-on error,warning "${debs[0]}" # no warning is kept today (docs/testing.md)

  purge_marbeck # left by an interrupted run
  apt_get install -y -qq "./${debs[0]}"
  local files
  files=$(dpkg -L marbeck)
  [ "$(command -v marbeck-cli)" = /usr/bin/marbeck-cli ] || { echo "FAIL: marbeck-cli not in /usr/bin" >&2; return 1; }
  code_verifies /usr/bin/marbeck-cli
  window_survives /usr/bin/marbeck
  apt_get remove --purge -y -qq marbeck
  # Every path the package held is gone, or is a folder another package still owns.
  local left=()
  while IFS= read -r f; do
    [ -z "$f" ] || [ "$f" = /. ] && continue
    if [ -e "$f" ] || [ -L "$f" ]; then
      [ -d "$f" ] && [ ! -L "$f" ] && dpkg -S "$f" >/dev/null 2>&1 && continue
      left+=("$f")
    fi
  done <<<"$files"
  if [ ${#left[@]} -ne 0 ]; then
    echo "FAIL: left behind after apt-get remove --purge marbeck: ${left[*]}" >&2
    return 1
  fi
  echo "the package installed, ran and went away without a trace"
}

stage_tests() {
  # Every test but the long ones (ctest -L long runs those), on the user's build: the release
  # stage's folder with the tests and benchmarks added, so the programs are built once and the
  # tests run the very code users run.
  build_release build-release -DMARBECK_WERROR=ON -DMARBECK_BUILD_TESTS=ON -DMARBECK_BUILD_BENCH=ON
  ctest --test-dir build-release --output-on-failure -j "$jobs" -LE long
}

stage_sanitizers() {
  # The same tests under AddressSanitizer (leaks included) and UndefinedBehaviorSanitizer: any
  # report fails the test that made it. Nothing is suppressed.
  configure_and_build build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARBECK_SANITIZE=ON -DMARBECK_BUILD_BENCH=OFF \
    -DMARBECK_WERROR=ON
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1 \
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs" -LE long
}

stage_fuzz() {
  # Every fuzz target for a bounded time under the sanitizers; a finding fails the run and its
  # reproducer stays in fuzz/findings/<target>/.
  CXX=clang++ configure_and_build build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARBECK_FUZZ=ON -DMARBECK_WERROR=ON
  ./fuzz/run.sh build-fuzz "${MARBECK_FUZZ_SECONDS:-30}"
}

all_stages=(style release tests sanitizers fuzz)

case "$action" in
  build)
    install_missing "${common_pkgs[@]}"
    build_release build
    ;;
  run)
    install_missing "${common_pkgs[@]}"
    build_release build
    exec build/app/marbeck
    ;;
  test)
    shift
    stages=("$@")
    [ ${#stages[@]} -eq 0 ] && stages=("${all_stages[@]}")
    for s in "${stages[@]}"; do
      declare -F "stage_$s" >/dev/null || { echo "unknown stage: $s (stages: ${all_stages[*]})" >&2; exit 2; }
    done
    install_missing "${common_pkgs[@]}" "${test_pkgs[@]}"
    export QT_QPA_PLATFORM=offscreen
    times=""
    start_all=$SECONDS
    for s in "${stages[@]}"; do
      echo "=== stage $s"
      start=$SECONDS
      "stage_$s"
      times+="$(printf '%-11s %4d s' "$s" $((SECONDS - start)))"$'\n'
      echo "=== stage $s passed in $((SECONDS - start)) s"
    done
    printf '=== every stage passed:\n%s%-11s %4d s\n' "$times" total $((SECONDS - start_all))
    ;;
  *)
    echo "usage: $0 run|build|test [STAGE...]" >&2
    exit 2
    ;;
esac

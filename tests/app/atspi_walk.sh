#!/bin/bash
# The real window under Xvfb on a private session bus with the accessibility bus
# (at-spi-bus-launcher, at-spi2-core), with Qt's AT-SPI bridge on; atspi_walk.py walks it.
#   atspi_walk.sh <marbeck> <atspi_walk.py>
set -u
program=$1
walk=$2
work=$(mktemp -d)
# Xvfb picks a free display and writes its number once it takes connections.
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -n1 "$work/display") XDG_CONFIG_HOME=$work LANG=C.UTF-8 LANGUAGE=
dbus-run-session -- bash -c '
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  bus=$!
  QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$0" >/dev/null 2>&1 &
  window=$!
  /usr/bin/python3 "$1" Marbeck
  status=$?
  kill $window $bus 2>/dev/null
  exit $status' "$program" "$walk" 2> >(grep -v "fd limit" >&2)

#!/usr/bin/env bash
# Starts the real program on the display in $DISPLAY, checks its window and
# clicks Done; passes when the checks pass and the program exits with 0.
#   window_test.sh wine PROGRAM.exe CHECKER.exe PREFIX
#   window_test.sh fltk PROGRAM
set -uo pipefail
mode=$1 program=$2
[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY: run under xvfb-run (scripts/test does)"; exit 1; }
source "$(dirname "$0")/wait.sh"
title="TALMIREX Device Driver Remover Ver: 1.2.0"

if [ "$mode" = wine ]; then
  checker=$3 prefix=$4
  here=$(cd "$(dirname "$0")/../.." && pwd)
  "$here/scripts/wine-run" --prefix "$prefix" "$program" & app=$!
  timeout 120 "$here/scripts/wine-run" --prefix "$prefix" "$checker"; checked=$?
  wait_for $app 60; code=$?
else
  export ASAN_OPTIONS=${ASAN_OPTIONS:-}:detect_leaks=0
  "$program" & app=$!
  id=$(timeout 30 xdotool search --sync --onlyvisible --name "^$title\$" | head -1)
  checked=1
  if [ -n "$id" ]; then
    echo "ok   a window titled \"$title\""
    geometry=$(xwininfo -id "$id")
    width=$(awk '/Width:/ {print $2}' <<<"$geometry")
    height=$(awk '/Height:/ {print $2}' <<<"$geometry")
    # Every size keeps its pixels at any pixels per inch: 6780 x 5424 twips
    # drawn at 12 twips per pixel are 565 x 452 pixels.
    if [ "$width" = 565 ] && [ "$height" = 452 ]; then
      echo "ok   window ${width}x${height}"; checked=0
    else
      echo "FAIL window ${width}x${height}, expected 565x452"
    fi
    # Done: 4920,4680 1572x492 twips -> 410,390 131x41 pixels.
    xdotool mousemove --window "$id" 475 410 click 1
  else
    echo "FAIL no window titled \"$title\""
  fi
  wait_for $app 30; code=$?
fi
echo "program exit code: $code"
[ "$checked" = 0 ] && [ "$code" = 0 ]

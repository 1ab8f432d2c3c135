#!/usr/bin/env bash
# Starts the real program on the display in $DISPLAY, checks its window and
# clicks Done; passes when the checks pass and the program exits with 0.
#   window_test.sh wine PROGRAM.exe CHECKER.exe PREFIX VIEW_TESTS.exe
#   window_test.sh fltk PROGRAM
# Under Wine this runs at 96, 120, 144 and 192 pixels per inch (the prefix's
# LogPixels, put back afterwards), the view tests in their own process too,
# and once more with the program copied under another extension.
set -uo pipefail
mode=$1 program=$2
[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY: run under xvfb-run (scripts/test does)"; exit 1; }
source "$(dirname "$0")/wait.sh"
title="TALMIREX Device Driver Remover Ver: 1.2.0"

if [ "$mode" = wine ]; then
  checker=$3 prefix=$4 views=$5
  here=$(cd "$(dirname "$0")/../.." && pwd)
  run() { "$here/scripts/wine-run" --prefix "$prefix" "$@"; }
  desktop='HKCU\Control Panel\Desktop'
  dpi() { # set LogPixels, or remove it (the default, 96) without an argument
    if [ -n "${1:-}" ]; then
      run reg add "$desktop" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    else
      run reg delete "$desktop" /v LogPixels /f >/dev/null 2>&1
    fi
  }
  trap 'dpi' EXIT
  trap 'exit 143' TERM # (and so through EXIT)
  # one run of the program and the checker: NAME PROGRAM [CHECKER ARGS]
  check_window() {
    local name=$1 exe=$2; shift 2
    run "$exe" & local app=$!
    timeout 120 "$here/scripts/wine-run" --prefix "$prefix" "$checker" "$@"; local c=$?
    wait_for $app 60; local e=$?
    echo "$name: checks $c, program exit code $e"
    [ "$c" = 0 ] && [ "$e" = 0 ]
  }
  checked=0 code=0
  for ppi in 96 120 144 192; do
    echo "== $ppi pixels per inch"
    dpi "$ppi"
    run "$views" --gtest_brief=1 || checked=1
    check_window "window at $ppi" "$program" || checked=1
  done
  dpi
  # Started under another extension: the version line keeps its design text.
  other=$(dirname "$program")/TALMIREXRemove-copy.bin
  cp "$program" "$other"
  check_window "as $(basename "$other")" "$other" --design-version || checked=1
  rm -f "$other"
else
  # The sanitizer build checks for leaks too: it must end cleanly after Done.
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
    # Task bars label and group windows by their class: the program's own.
    class=$(xprop -id "$id" WM_CLASS)
    [ "$class" = 'WM_CLASS(STRING) = "TALMIREXRemove", "TALMIREXRemove"' ] &&
      echo "ok   its class and name are the program's" || { echo "FAIL $class"; checked=1; }
    centre() { # window id -> x and y of its centre on the screen
      xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
        /Width:/ {w=$2} /Height:/ {h=$2} END {print int(x + w / 2), int(y + h / 2)}'
    }
    # A message box is a dialog that can be moved and closed, nothing else:
    # Remove Drivers (325,410) asks its question; closing it is Cancel.
    question="TALMIREX Low Level Device Driver Removal"
    xdotool mousemove --window "$id" 325 410 click 1
    box=$(timeout 20 xdotool search --sync --onlyvisible --name "^$question\$" | head -1)
    if [ -n "$box" ]; then
      props=$(xprop -id "$box" _NET_WM_WINDOW_TYPE _MOTIF_WM_HINTS WM_NORMAL_HINTS)
      grep -q "_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_DIALOG" <<<"$props" &&
        echo "ok   the question box is a dialog" || { echo "FAIL not a dialog: $props"; checked=1; }
      # flags functions|decorations; functions move|close; border|title|menu
      grep -q "_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = 0x3, 0x24, 0x1a" <<<"$props" &&
        echo "ok   no minimise or maximise button" || { echo "FAIL hints: $props"; checked=1; }
      grep -q "program specified minimum size" <<<"$props" &&
        grep -q "program specified maximum size" <<<"$props" &&
        echo "ok   a fixed size" || { echo "FAIL resizable: $props"; checked=1; }
      # Centred on the window, as a Windows message box on its owner.
      read -r wx wy < <(centre "$id")
      read -r bx by < <(centre "$box")
      [ $((bx - wx)) -ge -1 ] && [ $((bx - wx)) -le 1 ] && [ $((by - wy)) -ge -1 ] &&
        [ $((by - wy)) -le 1 ] && echo "ok   centred on the window" ||
        { echo "FAIL the box's centre $bx,$by, the window's $wx,$wy"; checked=1; }
      xdotool key --window "$box" Escape 2>/dev/null
      timeout 10 bash -c "while xdotool search --onlyvisible --name '^$question\$' >/dev/null; do sleep 0.1; done"
    else
      echo "FAIL no question box"; checked=1
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

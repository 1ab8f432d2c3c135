#!/usr/bin/env bash
# A DLL dropped beside the program under the name of one that Windows loads
# for the window (uxtheme.dll, msimg32.dll) is never loaded: the program
# takes DLLs from the system folder only. Wine is told to look for native
# DLLs of these names first, in the usual search order, as Windows does for
# DLLs that are not KnownDLLs. (Not version.dll: Wine's own user32 loads
# it by its name as the process starts, before any of the program's code
# runs; Windows loads what a KnownDLL needs from the system folder.)
#   planted_dll_test.sh PROGRAM.exe PLANTED.dll PREFIX
set -uo pipefail
program=$1 planted=$2 prefix=$3
here=$(cd "$(dirname "$0")/../.." && pwd)
title="TALMIREX Device Driver Remover Ver: 1.2.0"
[ -n "${DISPLAY:-}" ] || { echo "FAIL no DISPLAY: run under xvfb-run (scripts/test does)"; exit 1; }
source "$(dirname "$0")/wait.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/talmirex-dll.XXXXXX")
app=
cleanup() {
  if [ -n "$app" ] && kill -0 "$app" 2>/dev/null; then kill "$app" 2>/dev/null; wait "$app" 2>/dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT

cp "$program" "$work/TALMIREXRemove.exe" || { echo "FAIL cannot copy $program"; exit 1; }
for name in uxtheme msimg32; do cp "$planted" "$work/$name.dll"; done
TALMIREX_WINE_DLLOVERRIDES="uxtheme,msimg32=n,b" \
  "$here/scripts/wine-run" --prefix "$prefix" "$work/TALMIREXRemove.exe" & app=$!
id=$(timeout 90 xdotool search --sync --onlyvisible --name "^$title\$" 2>/dev/null | head -1)
[ -n "$id" ] && sleep 2 # the window drawn, its DLLs loaded
if [ -e "$work/planted-loaded.txt" ]; then
  echo "FAIL a DLL beside the program was loaded into it"
  exit 1
fi
[ -n "$id" ] || { echo "FAIL the program's window did not show"; exit 1; }
echo "ok   no DLL beside the program was loaded (uxtheme.dll, msimg32.dll planted)"

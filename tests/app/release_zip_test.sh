#!/usr/bin/env bash
# Packs the Windows release ZIP from this build with CPack, as scripts/release
# does, and checks what a user gets: one folder with README.txt and
# TALMIREXRemove.exe, a stripped Windows program of the build's architecture
# (x86: the shipped 32-bit PE32 program; amd64: PE32+) that needs no DLL
# beyond Windows' own, with its version resource and a manifest that names
# that architecture, keeps asInvoker, declares system DPI awareness and names
# no supported Windows versions.
#   release_zip_test.sh BUILD_DIR OBJDUMP WINDRES x86|amd64
set -uo pipefail
build=$1 objdump=$2 windres=$3 arch=$4
case $arch in
x86) system=win32 format=pei-i386 magic=010b kind="PE32, not PE32+" ;;
amd64) system=win64 format=pei-x86-64 magic=020b kind="PE32+" ;;
*) echo "FAIL unknown architecture $arch"; exit 1 ;;
esac
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() { # what command...
  local what=$1; shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}
lacks() { ! grep -q "$@"; } # lacks PATTERN <<<text

(cd "$build" && cpack -G ZIP -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
zip=$(ls "$work"/out/TALMIREXRemove-*-$system.zip 2>/dev/null | head -1)
[ -n "$zip" ] || { echo "FAIL no ZIP made"; cat "$work/cpack.log"; exit 1; }
echo "ok   $(basename "$zip")"
mkdir "$work/x" && (cd "$work/x" && cmake -E tar xf "$zip")
listing=$(cd "$work/x" && find . -mindepth 1 | sort | tr '\n' ' ')
folder=./$(basename "$zip" .zip)
check "the ZIP holds $folder with the program and README.txt: $listing" \
  [ "$listing" = "$folder $folder/README.txt $folder/TALMIREXRemove.exe " ]
exe=$work/x/$folder/TALMIREXRemove.exe
readme=$work/x/$folder/README.txt
check "README.txt tells how to use it" \
  bash -c "grep -q 'Remove Drivers' '$readme' && grep -q 'administrator' '$readme' && grep -q 'Backup' '$readme'"

header=$("$objdump" -f "$exe" 2>&1)
headers=$("$objdump" -p "$exe" 2>&1)
check "a Windows program for $arch ($format)" grep -q "file format $format\$" <<<"$header"
check "$kind" grep -Eq "^Magic[[:space:]]+$magic" <<<"$headers"
check "a GUI program" grep -Eq "^Subsystem[[:space:]]+00000002" <<<"$headers"
dlls=$(awk '/DLL Name:/ {print tolower($3)}' <<<"$headers" | sort -u | tr '\n' ' ')
own="advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll shell32.dll user32.dll version.dll"
others=""
for dll in $dlls; do [[ " $own " == *" $dll "* ]] || others+="$dll "; done
check "imports only Windows' own DLLs: $dlls" [ -n "$dlls" -a -z "$others" ]
[ -z "$others" ] || echo "     not Windows' own: $others"
check "stripped: no symbols" grep -q "no symbols" <<<"$("$objdump" -t "$exe" 2>&1)"
check "stripped: no debugging information" lacks '\.debug' <<<"$("$objdump" -h "$exe" 2>&1)"

resources=$("$windres" -i "$exe" -O rc 2>&1)
check "version resource 1.2.0.0" grep -q "FILEVERSION 1, 2, 0, 0" <<<"$resources"
check "FileVersion \"1.02\"" grep -q '"FileVersion", "1.02"' <<<"$resources"
check "OriginalFilename \"TALMIREXRemove.exe\"" \
  grep -q '"OriginalFilename", "TALMIREXRemove.exe"' <<<"$resources"
# The manifest, as windres writes it: quotes doubled.
check "manifest: processorArchitecture $arch, and no other" \
  [ "$(grep -o 'processorArchitecture=""[^"]*""' <<<"$resources" | sort -u)" = "processorArchitecture=\"\"$arch\"\"" ]
check "manifest: asInvoker" grep -q 'level=""asInvoker""' <<<"$resources"
check "manifest: system DPI aware" grep -q '<dpiAware>true</dpiAware>' <<<"$resources"
check "manifest: no supportedOS" lacks 'supportedOS' <<<"$resources"

echo "$failures failed"
[ "$failures" = 0 ]

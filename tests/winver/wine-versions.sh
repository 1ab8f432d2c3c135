#!/usr/bin/env bash
# wine-versions.sh program.exe wine-run [--prefix DIR]
# Runs the program under Wine once for each Windows version, telling Wine to
# report that version to this program alone (its AppDefaults key in the
# prefix's registry, so other programs of the prefix are not affected), and
# names the version in TALMIREX_WINE_VERSION for the program to check.
set -euo pipefail
exe=$1
shift
wine_run=("$@")
prefix=${WINEPREFIX:-$HOME/.wine}
for ((i = 0; i < ${#wine_run[@]}; i++)); do
  if [ "${wine_run[$i]}" = --prefix ]; then prefix=${wine_run[$((i + 1))]}; fi
done
key="HKCU\\Software\\Wine\\AppDefaults\\$(basename "$exe")"

run_as() {
  "${wine_run[@]}" reg add "$key" /v Version /d "$1" /f >/dev/null 2>&1
  echo "== Windows version $1"
  local output
  output=$(TALMIREX_WINE_VERSION=$1 "${wine_run[@]}" "$exe" --gtest_brief=1 2>&1) || {
    echo "$output"
    return 1
  }
  echo "$output"
  # A program that exits 0 without running its test proves nothing.
  grep -q '^\[  PASSED  \] 1 test' <<<"$output"
}

status=0
for version in win95 win98 winme nt40 win2k winxp win2003 vista win2008 win7; do
  run_as "$version" || status=1
done
# XP x64 needs an AMD64 machine: only a 64-bit prefix has one.
if [ -d "$prefix/drive_c/windows/syswow64" ]; then
  run_as winxp64 || status=1
else
  echo "== Windows version winxp64: skipped, $prefix is a 32-bit prefix"
fi
"${wine_run[@]}" reg delete "$key" /f >/dev/null 2>&1 || true
exit $status

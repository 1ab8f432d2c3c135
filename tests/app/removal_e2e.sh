#!/usr/bin/env bash
# Remove Drivers end to end, as a user would, on a sample drive (TALMIREX INF
# files with and without .pnf companions beside other vendors' files):
#   removal_e2e.sh wine SCENARIO PROGRAM.exe CHECKER.exe PREFIX
#   removal_e2e.sh fltk SCENARIO PROGRAM
# SCENARIO: yes, no, keys, readonly (both builds); cancel, held-inf, held-pnf
# (Wine). "keys" uses the keyboard alone: Enter on Remove Drivers, Tab to No
# and Enter in the question, Enter on Done.
# The program runs from a throwaway folder, so that its Backup folder lands
# there. Under Wine the sample files go into the prefix's C:\windows\inf and
# are taken out again afterwards; a checker program clicks through the
# window with the Windows API and reads the log. Natively the FLTK window is
# clicked with xdotool on a prefix of its own. Afterwards the files are
# compared with their state before the run. TALMIREX_E2E_PATIENCE=N makes
# every wait of the Wine checker N times as long (a program run emulated).
set -uo pipefail
mode=$1 scenario=$2 program=$3
here=$(cd "$(dirname "$0")/../.." && pwd)
title="TALMIREX Device Driver Remover Ver: 1.2.0"
question="TALMIREX Low Level Device Driver Removal"
[ -n "${DISPLAY:-}" ] || { echo "FAIL no DISPLAY: run under xvfb-run (scripts/test does)"; exit 1; }

failures=0
check() { # description command... -> prints ok/FAIL
  local what=$1; shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}

work=$(mktemp -d "${TMPDIR:-/tmp}/talmirex-e2e.XXXXXX")
app=
added=()
cleanup() {
  if [ -n "$app" ] && kill -0 "$app" 2>/dev/null; then kill "$app" 2>/dev/null; wait "$app" 2>/dev/null; fi
  for name in "${added[@]}"; do
    chmod u+w "$inf/$name" 2>/dev/null
    rm -f "$inf/$name"
  done
  chmod -R u+w "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

"$here/scripts/make-sample-drive" "$work/sample" >/dev/null || { echo "FAIL no sample drive"; exit 1; }
sample=$work/sample/drive_c/windows/inf
mkdir -p "$work/bin"
cp "$program" "$work/bin/" || { echo "FAIL cannot copy $program"; exit 1; }
backup=$work/bin/Backup

if [ "$mode" = wine ]; then
  checker=$4 prefix=$5
  "$here/scripts/wine-run" --prefix "$prefix" cmd /c exit >/dev/null 2>&1 # the prefix, made once
  inf=$prefix/drive_c/windows/inf
  mkdir -p "$inf"
  # OEM files that an interrupted test left behind would be searched too.
  rm -f "$inf"/[oO][eE][mM]*
  for f in "$sample"/*; do
    name=$(basename "$f")
    [ -e "$inf/$name" ] && continue # never replace the prefix's own files
    cp "$f" "$inf/" && added+=("$name")
  done
else
  inf=$sample
fi

# The state before: every file of the INF folder, and the TALMIREX ones
# (what the search must find) with their companions.
mkdir "$work/before"
cp -p "$inf"/* "$work/before/"
talmirex=()
for f in "$sample"/oem*.inf; do
  grep -qi TALMIREX "$f" && talmirex+=("$(basename "$f")")
done
removable=()
for name in "${talmirex[@]}"; do
  removable+=("$name")
  [ -e "$inf/${name%inf}pnf" ] && removable+=("${name%inf}pnf")
done
echo "TALMIREX files: ${removable[*]}"
[ ${#talmirex[@]} -ge 2 ] || { echo "FAIL the sample drive holds too few TALMIREX files"; exit 1; }

is_removable() {
  local n
  for n in "${removable[@]}"; do [ "$n" = "$1" ] && return 0; done
  return 1
}
backed_up() { [ -f "$backup/$1" ] && cmp -s "$work/before/$1" "$backup/$1"; }
gone() { [ ! -e "$inf/$1" ]; }
unchanged() { [ -f "$inf/$1" ] && cmp -s "$work/before/$1" "$inf/$1"; }
all_unchanged() { # every file of the INF folder as before, and no other
  local f
  for f in "$work/before"/*; do unchanged "$(basename "$f")" || return 1; done
  [ "$(ls "$inf" | wc -l)" = "$(ls "$work/before" | wc -l)" ]
}
others_unchanged() { # every file but the removable ones as before
  local f name
  for f in "$work/before"/*; do
    name=$(basename "$f")
    is_removable "$name" || unchanged "$name" || return 1
  done
}
nothing_lost() { # each file gone from the INF folder has its byte-identical copy
  local f name
  for f in "$work/before"/*; do
    name=$(basename "$f")
    [ -e "$inf/$name" ] || backed_up "$name" || { echo "     lost: $name"; return 1; }
  done
}
backup_holds_only_removable() {
  local f
  for f in "$backup"/*; do is_removable "$(basename "$f")" || return 1; done
}
all_removed_and_backed_up() {
  local n
  for n in "${removable[@]}"; do gone "$n" && backed_up "$n" || return 1; done
}

# --- Under Wine: the checker drives the window and reports -----------------
if [ "$mode" = wine ]; then
  winpath() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }
  exe="$(winpath "$work/bin/$(basename "$program")")"
  hold=()
  answer=yes
  case $scenario in
  no | cancel | keys) answer=$scenario ;;
  readonly) chmod a-w "$inf/${talmirex[1]}" ;; # a TALMIREX file without write permission
  held-inf) hold=(--hold "C:\\windows\\inf\\${talmirex[1]}") ;;
  held-pnf) hold=(--hold "C:\\windows\\inf\\${talmirex[0]%inf}pnf") ;;
  esac
  patience=${TALMIREX_E2E_PATIENCE:-1}
  timeout -k 10 $((170 * patience)) "$here/scripts/wine-run" --prefix "$prefix" "$checker" \
    "$exe" "$answer" "${hold[@]}" --patience "$patience" >"$work/out" 2>"$work/err"
  checked=$?
  [ "$checked" = 0 ] || cat "$work/err"
  tr -d '\r' <"$work/out" >"$work/report"
  cat "$work/report"
  check "the checker's own checks (exit code $checked)" [ "$checked" = 0 ]
  log=$(sed -n 's/^log: //p' "$work/report")
  last=$(tail -n 1 <<<"$log")
  boxes=$(grep '^box: ' "$work/report" | sed 's/^box: //' | tail -n +2)
  exit_code=$(sed -n 's/^exit code: //p' "$work/report")
  disabled() { grep -qx 'remove button: disabled' "$work/report"; }

  # The log lines the backup pass writes, in order: each found INF file, then
  # its companion.
  file_lines() { sed -n 's/^\.\.\. File: //p' <<<"$log"; }
  found_in_log() { # the found INF files, as named in the log
    local i=0 line
    while IFS= read -r line; do
      ((i++ % 2 == 0)) && printf '%s\n' "${line##*\\}"
    done < <(file_lines)
  }
  pairs_ok() { # INF, then its companion, for each TALMIREX file exactly once
    local expected actual
    expected=$(for n in "${talmirex[@]}"; do printf 'c:\\windows\\inf\\%s\nc:\\windows\\inf\\%spnf\n' "$n" "${n%inf}"; done | sort)
    actual=$(file_lines | sort)
    [ "$expected" = "$actual" ] || { echo "     file lines:"; file_lines | sed 's/^/       /'; return 1; }
    local i=0 inf_line=
    while IFS= read -r line; do
      if ((i++ % 2 == 0)); then inf_line=$line; else [ "$line" = "${inf_line%inf}pnf" ] || return 1; fi
    done < <(file_lines)
  }
  log_is() { # expected lines...
    local expected
    expected=$(printf '%s\n' "$@")
    [ "$log" = "$expected" ]
  }
  removal_log_ok() { # last line, then the lines that come right before it
    local head end=$1; shift
    head=$(head -n 3 <<<"$log")
    [ "$head" = "$(printf '%s\n' "Ask User if Device Drivers removed from Device Manager" \
      "Found Precompiled Device Driver Files" "Backing up and Deleting")" ] &&
      [ "$(wc -l <<<"$log")" = $((3 + 2 * ${#talmirex[@]} + $# + 1)) ] && [ "$last" = "$end" ] ||
      return 1
    [ $# = 0 ] || [ "$(tail -n $(($# + 1)) <<<"$log" | head -n $#)" = "$(printf '%s\n' "$@")" ] ||
      { echo "     before the last line:"; tail -n $(($# + 1)) <<<"$log" | head -n $# | sed 's/^/       /'; return 1; }
  }

  case $scenario in
  yes)
    check "the log: three lines, two per found file, \"Removal Complete...\"" \
      removal_log_ok "Removal Complete...Please Restart your Computer"
    check "each TALMIREX INF file logged once, followed by its companion" pairs_ok
    check "no box after the question" [ -z "$boxes" ]
    check "TALMIREX files and companions gone from the INF folder, byte-identical in Backup" \
      all_removed_and_backed_up
    check "Backup holds nothing else" backup_holds_only_removable
    check "other vendors' files and the prefix's own untouched" others_unchanged
    check "Remove Drivers disabled" disabled
    check "exit code 0 after Done" [ "$exit_code" = 0 ]
    ;;
  no | cancel | keys)
    check "the log: the question and the two abort lines" log_is \
      "Ask User if Device Drivers removed from Device Manager" \
      "..User has not Removed TALMIREX Device" "Aborted Device Driver Removal"
    check "no box after the question" [ -z "$boxes" ]
    check "every file of the INF folder byte-identical" all_unchanged
    check "no Backup folder" [ ! -e "$backup" ]
    check "Remove Drivers disabled" disabled
    check "exit code 0 after Done" [ "$exit_code" = 0 ]
    ;;
  readonly)
    readonly_name=${talmirex[1]}
    # Each file from the refused one on is named before the last line.
    not_deleted=() refused=0
    while IFS= read -r line; do
      name=${line##*\\}
      [ "$name" = "$readonly_name" ] && refused=1
      [ $refused = 1 ] && is_removable "$name" && not_deleted+=("... Not Deleted: $line")
    done < <(file_lines)
    check "the box \"Error - Windows Vista Security\" and no other" \
      [ "$boxes" = "Error - Windows Vista Security" ]
    check "its text" grep -qxF "box text: Because of Vista Security, you must run this program as an Administrator or\\nSet the exe compatibility to 'WindowsXP/SP2' and 'Run As Administrator' " "$work/report"
    check "its only button is OK" [ "$(grep '^box buttons:' "$work/report" | tail -n 1)" = "box buttons: OK" ]
    check "the log: three lines, two per found file, each file left, \"Removal Incomplete...\"" \
      removal_log_ok "Removal Incomplete...Some Driver Files were not Deleted" "${not_deleted[@]}"
    check "every TALMIREX file and companion byte-identical in Backup" \
      bash -c 'for n in "$@"; do cmp -s "'"$work"'/before/$n" "'"$backup"'/$n" || exit 1; done' _ "${removable[@]}"
    # Deletions follow the log's order and stop at the refused file.
    deleted_until_refusal() {
      local refused=0 line name
      while IFS= read -r line; do
        name=${line##*\\}
        [ "$name" = "$readonly_name" ] && refused=1
        is_removable "$name" || continue
        if [ $refused = 0 ]; then gone "$name" || { echo "     still there: $name"; return 1; }
        else unchanged "$name" || { echo "     not kept: $name"; return 1; }; fi
      done < <(file_lines)
    }
    check "files before $readonly_name deleted; it and all after it kept" deleted_until_refusal
    check "nothing lost" nothing_lost
    check "other vendors' files and the prefix's own untouched" others_unchanged
    check "Remove Drivers disabled" disabled
    check "exit code 0 after Done" [ "$exit_code" = 0 ]
    ;;
  held-inf)
    # The search cannot read a file held without sharing: the failure ends
    # the command and reaches the top level, which reports it and ends.
    check "the run-time error box \"TALMIREXRemove\" and no other" [ "$boxes" = TALMIREXRemove ]
    check "it reports run-time error 70 (permission denied)" \
      grep -q "^box text: Run-time error '70':" "$work/report"
    check "its only button is OK" [ "$(grep '^box buttons:' "$work/report" | tail -n 1)" = "box buttons: OK" ]
    check "the program ended with exit code 1" [ "$exit_code" = 1 ]
    check "every file of the INF folder byte-identical" all_unchanged
    check "no Backup folder" [ ! -e "$backup" ]
    ;;
  held-pnf)
    held=${talmirex[0]%inf}pnf
    check "the log: three lines, two per found file, why, \"Backup Failed...\"" \
      removal_log_ok "Backup Failed...No Driver Files were Deleted" \
      "... Copy Failed: c:\\windows\\inf\\$held"
    check "no box after the question" [ -z "$boxes" ]
    check "every file of the INF folder byte-identical" all_unchanged
    check "no copy of the held $held in Backup" [ ! -e "$backup/$held" ]
    check "every other TALMIREX file and companion byte-identical in Backup" \
      bash -c 'for n in "$@"; do [ "$n" = "'"$held"'" ] || cmp -s "'"$work"'/before/$n" "'"$backup"'/$n" || exit 1; done' _ "${removable[@]}"
    check "Remove Drivers disabled" disabled
    check "exit code 0 after Done" [ "$exit_code" = 0 ]
    ;;
  *) echo "FAIL unknown scenario $scenario"; exit 1 ;;
  esac
  [ "$failures" = 0 ]
  exit
fi

# --- Natively: the FLTK window, clicked with xdotool ------------------------
# The sanitizer build checks for leaks too: it must end cleanly after Done.
source "$(dirname "$0")/wait.sh"
until_true() { # seconds command... -> 0 once the command succeeds
  local t=$1; shift
  for ((i = 0; i < t * 10; i++)); do "$@" && return 0; sleep 0.1; done
  return 1
}
box_open() { xdotool search --onlyvisible --name "^$question\$" >/dev/null 2>&1; }
box_closed() { ! box_open; }
# Remove Drivers: 3120,4680 1572x492 twips at 12 twips per pixel.
click_remove() { xdotool mousemove --window "$id" 325 410 click 1; }
# A key sent to a window; the window may be gone before the key is released.
key() { xdotool key --window "$1" "$2" 2>/dev/null; sleep 0.3; }

[ "$scenario" = readonly ] && chmod a-w "$inf/${talmirex[1]}" # a TALMIREX file
WINEPREFIX=$work/sample "$work/bin/$(basename "$program")" & app=$!
id=$(timeout 30 xdotool search --sync --onlyvisible --name "^$title\$" | head -1)
[ -n "$id" ] || { echo "FAIL no window titled \"$title\""; exit 1; }
echo "ok   a window titled \"$title\""
if [ "$scenario" = keys ]; then
  key "$id" Return # the focus starts on Remove Drivers
else
  click_remove
fi
box=$(timeout 20 xdotool search --sync --onlyvisible --name "^$question\$" | head -1)
[ -n "$box" ] || { echo "FAIL no question box titled \"$question\""; exit 1; }
echo "ok   a question box titled \"$question\""
check "while the question is open, every file as before" all_unchanged
check "while the question is open, no Backup folder" [ ! -e "$backup" ]
geometry=$(xwininfo -id "$box")
w=$(awk '/Width:/ {print $2}' <<<"$geometry")
h=$(awk '/Height:/ {print $2}' <<<"$geometry")
# The box's buttons, 84x26 pixels 8 apart, end 16 pixels from its right edge
# and 14 above its bottom: Yes, No, Cancel.
case $scenario in
yes | readonly) xdotool mousemove --window "$box" $((w - 242)) $((h - 27)) click 1 ;;
no) xdotool mousemove --window "$box" $((w - 150)) $((h - 27)) click 1 ;;
keys) key "$box" Tab && key "$box" Return ;;
*) echo "FAIL unknown scenario $scenario"; exit 1 ;;
esac
check "the question box closed" until_true 20 box_closed
all_backed_up() {
  local n
  for n in "${removable[@]}"; do backed_up "$n" || return 1; done
}
case $scenario in
yes)
  check "TALMIREX files and companions gone from the INF folder, byte-identical in Backup" \
    until_true 30 all_removed_and_backed_up
  check "Backup holds nothing else" backup_holds_only_removable
  check "other vendors' files untouched" others_unchanged
  ;;
readonly)
  check "every TALMIREX file and companion byte-identical in Backup" until_true 30 all_backed_up
  sleep 2
  check "the read-only ${talmirex[1]} kept" unchanged "${talmirex[1]}"
  check "nothing lost" nothing_lost
  check "Backup holds nothing else" backup_holds_only_removable
  check "other vendors' files untouched" others_unchanged
  ;;
no | keys)
  sleep 2
  check "every file of the INF folder byte-identical" all_unchanged
  check "no Backup folder" [ ! -e "$backup" ]
  ;;
esac
sleep 1
# A click on a disabled button does nothing: no question comes.
click_remove
sleep 3
check "Remove Drivers disabled: a further click asks nothing" box_closed
if box_open; then xdotool key --window "$(xdotool search --onlyvisible --name "^$question\$" | head -1)" Escape; fi
if [ "$scenario" = keys ]; then
  key "$id" Return # the focus moved on to Done
else
  # Done: 4920,4680 1572x492 twips.
  xdotool mousemove --window "$id" 475 410 click 1
fi
wait_for "$app" 30
code=$?
app=
check "exit code 0 after Done (was $code)" [ "$code" = 0 ]
[ "$failures" = 0 ]

#!/usr/bin/env bash
# The interactive run of the real Dunmoor.exe under Wine, driven by
# uidriver.exe: No to the installation question, the opening state, the name
# dialog, the About box, a set-up with Windows authentication through the
# recording Kelvane.dll, and the finish button that ends the program.
# Screens of the three dialogs go under BINARY_DIR/screens.
#   main_dialog_e2e.sh SOURCE_DIR BINARY_DIR win64|win32 UIDRIVER DUNMOOR KELVANE
set -uo pipefail
src=$1 bin=$2 prefix=$3 uidriver=$4 dunmoor=$5 kelvane=$6
. "$src/tests/e2e/e2e_prelude.sh"
require_platform
take_registry_lock

dir=$bin/e2e/main-dialog
rm -rf "$dir" && mkdir -p "$dir"
cp "$dunmoor" "$kelvane" "$bin"/dist/*En.dat "$dir/"
screens=$bin/screens
mkdir -p "$screens"
winpath() { echo "Z:${1//\//\\}"; }
exe=$(winpath "$dir/Dunmoor.exe")
drive() { "${wine[@]}" "$uidriver" --timeout 30000 --exe "$exe" "$@" 2>&1 | tr -d '\r'; }
shot() { # shot NAME SEL: the screen cut to that window
  local l t r b
  read -r l t r b <<<"$(drive window "$2" | sed 's/.* rect=\([^ ]*\) .*/\1/; s/,/ /g')"
  DISPLAY=$("$src/scripts/xvfb" start) import -window root -crop "$((r - l))x$((b - t))+$l+$t" +repage \
    "$screens/$1.png" 2>/dev/null || true
}
expect() { # expect WHAT ACTUAL WANTED
  [ "$2" = "$3" ] || fail "$1: '$2', expected '$3'"
}

# No saved settings: the dialog opens for a first installation. The key
# exists, as the Quenlor server's installation leaves it.
"${wine[@]}" reg delete "$key" /reg:32 /f >/dev/null 2>&1
"${wine[@]}" reg add "$key" /reg:32 /f >/dev/null 2>&1 || fail "could not create $key"

# A plain script left by a power cut goes at the start; a file of another
# name stays, and so does every encrypted script.
printf 'DROP TABLE roles\r\nGO\r\n' | tee "$dir/QuenlorPatchOracle.dat" >"$dir/QuenlorPatchOracle.dat.bak"

WINEDEBUG=+debugstr run_timeout_ms=240000 exit_code "$exe" >"$dir/exit.code" 2>"$dir/dunmoor.out" &
program=$!

expect "question" "$(drive msgbox 'Szeretné telepíteni a Microsoft SQL Express Edition-t?' no)" \
  "Microsoft SQL Server telepítés|Szeretné telepíteni a Microsoft SQL Express Edition-t?"
main='title=Adatbázis létrehozása [Quenlor]'
drive wait "$main" >/dev/null || fail "the main dialog did not appear"
drive ping "$main" || fail "the main dialog does not answer"
shot main-dialog "$main"
# Every label of the template is whole in the dialog's font (IDD_DUNMOOR_DIALOG).
cut=$(drive labels "$main" 102) || fail "labels cut in the main dialog: ${cut//$'\n'/; }"
[ -e "$dir/QuenlorPatchOracle.dat" ] && fail "the leftover plain script is still there"
grep -aq 'Leftover plain script deleted: QuenlorPatchOracle.dat' "$dir/dunmoor.out" ||
  fail "the leftover plain script is not named on the debugger output"
[ -e "$dir/QuenlorPatchOracle.dat.bak" ] || fail "a file of another name was deleted"
for sealed in "$bin"/dist/*En.dat; do
  cmp -s "$sealed" "$dir/${sealed##*/}" || fail "${sealed##*/} is not intact"
done

expect "name" "$(drive gettext "$main" 1017)" "Quenlor"
expect "server" "$(drive gettext "$main" 1000)" "localhost"
expect "port" "$(drive gettext "$main" 1003)" "1433"
expect "login" "$(drive gettext "$main" 1001)" "sa"
expect "port state" "$(drive state "$main" 1003)" "enabled=0 visible=1 checked=0"
expect "login state" "$(drive state "$main" 1001)" "enabled=0 visible=1 checked=0"
expect "password state" "$(drive state "$main" 1002)" "enabled=0 visible=1 checked=0"
expect "windows radio" "$(drive state "$main" 1006)" "enabled=1 visible=1 checked=1"
expect "server radio" "$(drive state "$main" 1008)" "enabled=1 visible=1 checked=0"
expect "set-up button" "$(drive state "$main" 1005)" "enabled=1 visible=1 checked=0"
expect "finish button" "$(drive state "$main" 1007)" "enabled=1 visible=0 checked=0"
expect "install button" "$(drive state "$main" 1010)" "enabled=1 visible=0 checked=0"

# The name dialog: "Alap ..." then OK gives the default name.
drive click "$main" 1013 >/dev/null
name='title=Adatbázisnév bevitel.'
drive wait "$name" >/dev/null || fail "the name dialog did not appear"
drive ping "$name" || fail "the name dialog does not answer"
shot name-dialog "$name"
# It belongs to the main dialog: opened centred over it, with the main dialog
# disabled beneath it (and itself owned by nobody) until it closes.
name_window=$(drive window "$name") main_window=$(drive window "$main")
expect "name dialog" "${name_window/ rect=* owner=/ owner=}" "enabled=1 owner=${main#title=}"
expect "main dialog under it" "${main_window/ rect=* owner=/ owner=}" "enabled=0 owner="
centre() { # centre "enabled=N rect=L,T,R,B owner=...": prints X Y
  local rect=${1#* rect=} l t r b
  IFS=, read -r l t r b <<<"${rect%% *}"
  echo $(((l + r) / 2)) $(((t + b) / 2))
}
read -r nx ny <<<"$(centre "$name_window")"
read -r mx my <<<"$(centre "$main_window")"
[ $(((nx - mx) * (nx - mx) + (ny - my) * (ny - my))) -le 2 ] ||
  fail "the name dialog is not centred over the main dialog: $name_window / $main_window"
# The main dialog, unowned, opened centred on the work area: the 1280x800 screen.
[ $(((mx - 640) * (mx - 640) + (my - 400) * (my - 400))) -le 2 ] ||
  fail "the main dialog is not centred on the screen: $main_window"
drive settext "$name" 1017 "Raktar" >/dev/null
drive click "$name" 1 >/dev/null
drive closed "$name" >/dev/null || fail "the name dialog stayed open"
expect "name after OK" "$(drive gettext "$main" 1017)" "Raktar"
expect "main dialog after it" "$(drive window "$main" | cut -d' ' -f1)" "enabled=1"

# The About box, from the system menu item the dialog added.
drive syscommand "$main" 16 >/dev/null || fail "sending the About command"
about='title=Dunmoor névjegy'
drive wait "$about" >/dev/null || fail "the About box did not appear"
drive ping "$about" || fail "the About box does not answer"
shot about-box "$about"
drive click "$about" 1 >/dev/null
drive closed "$about" >/dev/null || fail "the About box stayed open"

# Set-up under Windows authentication through the recording library.
drive click "$main" 1005 >/dev/null
finish_shown() { [ "$(drive state "$main" 1007)" = "enabled=1 visible=1 checked=0" ]; }
wait_for finish_shown || fail "the set-up did not finish"
expect "set-up button after success" "$(drive state "$main" 1005)" "enabled=1 visible=0 checked=0"
expect "finish button after success" "$(drive state "$main" 1007)" "enabled=1 visible=1 checked=0"
drive click "$main" 1007 >/dev/null
timeout 60 tail --pid="$program" -f /dev/null && [ "$(cat "$dir/exit.code")" = 0 ] ||
  fail "Dunmoor.exe did not end with status 0 after Befejzés"

log=$dir/Kelvane.unix.log
tr -d '\r' <"$dir/Kelvane.log" >"$log" 2>/dev/null || fail "no Kelvane.log"
expect "connection record" "$(grep -m1 '^ConnectDB' "$log")" \
  "ConnectDB dbType=2 server=localhost userId= password= databaseName= port=1433 windowsAuth=1 valid=1"
grep -q '^QueryExecuteDB CREATE DATABASE Raktar$' "$log" || fail "no CREATE DATABASE Raktar"

"${wine[@]}" reg delete "$key" /reg:32 /f >/dev/null 2>&1
[ $status = 0 ] && echo "PASS: main dialog"
exit $status

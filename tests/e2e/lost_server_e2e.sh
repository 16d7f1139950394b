#!/usr/bin/env bash
# A MySQL create through the main dialog of the real Dunmoor.exe and
# Kelvane.dll on the MariaDB sandbox, whose server is killed while the long
# schema runs: the failure is shown, nothing is saved, no plain script is
# left. With the server started again, the half-built database is kept on No
# and replaced on Yes; the set-up then completes and every row is there. A
# missing script then stops a create before it touches that database.
#   lost_server_e2e.sh SOURCE_DIR BINARY_DIR PREFIX UIDRIVER
set -uo pipefail
src=$1 bin=$2 prefix=$3 uidriver=$4
. "$src/tests/e2e/e2e_prelude.sh"
require_platform
command -v mariadbd >/dev/null || [ -x /usr/sbin/mariadbd ] ||
  { echo "SKIP: no MariaDB server installed"; exit 77; }
take_registry_lock
rows=20000
# The Quenlor key, in the 32-bit view where both builds keep it.
reg_key() { "${wine[@]}" reg "$1" "$key" "${@:2}" /reg:32 2>/dev/null | tr -d '\r'; }

sandbox=$src/scripts/mariadb-sandbox
# The server must not inherit the registry lock (descriptor 8).
start_server() { "$sandbox" start 8>&- >/dev/null; }
"$sandbox" status >/dev/null 2>&1 || { start_server && at_exit+=('"$sandbox" stop >/dev/null') ||
  { echo "FAIL: the MariaDB sandbox did not start"; exit 1; }; }
eval "$("$sandbox" env)"
sql() { mariadb --no-defaults -N -B -h "$MARIADB_HOST" -P "$MARIADB_PORT" -u"$MARIADB_USER" -p"$MARIADB_PASSWORD" "$@"; }

dir=$bin/e2e/lost-server
rm -rf "$dir" && mkdir -p "$dir" && cp -r "$bin"/dist/. "$dir/"
printf '[Drivers]\r\nMySql=MariaDB Unicode\r\n' >"$dir/Kelvane.ini"
# The shipped schema, then one INSERT batch per row.
{ cat "$src/sql/QuenlorMySQL.sql"; printf 'CREATE TABLE lost_rows (id INT PRIMARY KEY)\nGO\n'
  seq 1 $rows | awk '{ printf "INSERT INTO lost_rows VALUES (%d)\nGO\n", $1 }'
  printf "DO GET_LOCK('lost_server_e2e', 600)\nGO\n"; } >"$dir/schema.sql"
"$bin/sql/host-seal" encrypt "$dir/schema.sql" "$dir/QuenlorMySQLEn.dat" || fail "sealing the schema"
sql -e "DROP DATABASE IF EXISTS Quenlor"
reg_key delete /f >/dev/null; reg_key add /f >/dev/null

exe="Z:${dir//\//\\}\\Dunmoor.exe"
drive() { "${wine[@]}" "$uidriver" --timeout 60000 --exe "$exe" "$@" 2>&1 | tr -d '\r'; }
main='title=Adatbázis létrehozása [Quenlor]'
finish_shown() { [ "$(drive state "$main" 1007)" = "enabled=1 visible=1 checked=0" ]; }
field_state() { [ "$(drive state "$main" "$1")" = "$2" ]; }
field_is() { [ "$(drive gettext "$main" "$1")" = "$2" ]; }
# Starts the program (debugger output into $1) and fills in a MySQL set-up.
start_setup() {
  WINEDEBUG=+debugstr run_timeout_ms=600000 exit_code "$exe" >"$1.code" 2>"$1" &
  program=$!
  drive msgbox 'Szeretné telepíteni a Microsoft SQL Express Edition-t?' no >/dev/null
  drive select "$main" 1009 1 >/dev/null && wait_for field_is 1001 root || fail "MySQL not chosen"
  for field in "1000 $MARIADB_HOST" "1003 $MARIADB_PORT" "1001 $MARIADB_USER" "1002 $MARIADB_PASSWORD"; do
    drive settext "$main" ${field%% *} "${field#* }" >/dev/null || fail "filling in control ${field%% *}"
  done
}
# Mid-run: once rows are arriving, well before the last.
rows_arriving() { n=$(sql -e "SELECT COUNT(*) FROM Quenlor.lost_rows" 2>/dev/null) && [ "${n:-0}" -ge 200 ]; }
wait_for_rows() { wait_for rows_arriving || fail "no rows arrived (${n:-0})"; }
start_setup "$dir/dunmoor.out"

drive click "$main" 1005 >/dev/null
wait_for_rows
kill -9 "$(cat "$src/build/mariadb/mariadb.pid")" && echo "server killed at ${n:-0} rows of $rows"
box=$(drive msgbox 'SQL Server nem érhető el.' ok)
[ "$box" = "Dunmoor|SQL Server nem érhető el." ] || fail "after the kill (at ${n:-0} rows): box '$box'"
finish_shown && fail "the finish button showed after the lost server"
reg_key query | grep -Eq 'DB Type|DB Info' && fail "settings saved after the lost server"
for plain in QuenlorMySQL.dat Init.dat; do [ -e "$dir/$plain" ] && fail "$plain left behind"; done
grep -aq 'connection lost after batch' "$dir/dunmoor.out" || fail "no reason on the debugger output"
[ "$(grep -ac 'restriction could not be applied' "$dir/dunmoor.out")" -le 1 ] ||
  fail "the unrestricted plain script reported more than once"

start_server || fail "the server did not start again"
# The half-built database is there now, the unfinished one of the run that
# lost its server, and the question says so: it is made again only after a
# yes. No leaves every row and the registry as they are, and the set-up
# button ready.
question="A(z) Quenlor adatbázis a(z) $MARIADB_HOST szerveren egy korábbi, félbeszakadt futás befejezetlen adatbázisa: a program kezdte el létrehozni, de a futás nem ért véget."
kept=$(sql -e "SELECT COUNT(*) FROM Quenlor.lost_rows")
drive click "$main" 1005 >/dev/null
box=$(drive msgbox "$question*" no)
[ "${box%%$'\n'*}" = "Dunmoor|$question" ] || fail "no question before replacing Quenlor: '$box'"
wait_for field_state 1005 "enabled=1 visible=1 checked=0" || fail "set-up not ready after No"
[ "$(sql -e "SELECT COUNT(*) FROM Quenlor.lost_rows")" = "$kept" ] || fail "rows changed after No"
reg_key query | grep -Eq 'DB Type|DB Info' && fail "settings saved after No"
# The schema ends in a batch that waits for a lock this test holds until it
# has seen that meanwhile the dialog answers and its set-up button takes no
# second click.
sql -e "DO GET_LOCK('lost_server_e2e', 0); DO SLEEP(600)" >/dev/null 2>&1 8>&- &
at_exit+=("kill $! 2>/dev/null")
lock_holder() { holder=$(sql -e "SELECT IS_USED_LOCK('lost_server_e2e')") && [ "$holder" != NULL ]; }
wait_for lock_holder || fail "the test could not take its lock"
drive click "$main" 1005 >/dev/null
drive msgbox "$question*" yes >/dev/null || fail "no question the second time"
in_long_batch() { [ "$(sql -e "SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE INFO LIKE 'DO GET_LOCK%'")" = 1 ]; }
wait_seconds=300 wait_for in_long_batch || fail "the schema's last batch did not start"
drive ping "$main" || fail "the dialog did not answer during the long batch"
[ "$(drive state "$main" 1005)" = "enabled=0 visible=1 checked=0" ] || fail "set-up enabled during the run"
sql -e "KILL $holder" # the lock goes with the session
wait_seconds=300 wait_for finish_shown || fail "the set-up did not complete with the server back"
[ "$(sql -e "SELECT COUNT(*) FROM Quenlor.lost_rows")" = $rows ] || fail "not every row is there"
[ "$(sql -e "SELECT COUNT(*) FROM Quenlor.schema_version")" = 1 ] || fail "the initial data did not run"
reg_key query | grep -Eq 'DB Type +REG_DWORD +0x1$' || fail "DB Type not saved"
drive click "$main" 1007 >/dev/null
timeout 60 tail --pid="$program" -f /dev/null || { fail "Dunmoor.exe did not end"; kill "$program"; }

# A script missing from the program directory, or damaged (copies that went
# wrong): the create stops before it connects, so the database that is there
# keeps every row, and no question comes before the box that names the file.
reg_key delete /f >/dev/null; reg_key add /f >/dev/null
mv "$dir/InitEn.dat" "$dir/InitEn.dat.away"
start_setup "$dir/missing.out"
drive click "$main" 1005 >/dev/null
missing="A(z) InitEn.dat parancsfájl hiányzik a program könyvtárából, nem olvasható, vagy nem fejthető vissza."
box=$(drive msgbox "A(z) *" ok)
[ "${box%%$'\n'*}" = "Dunmoor|$missing" ] || fail "no box naming the missing script: '$box'"
[ "$(sql -e "SELECT COUNT(*) FROM Quenlor.lost_rows")" = $rows ] || fail "rows lost to a create that could not finish"
# A copy of the schema that went wrong (random bytes of the same length)
# decrypts too, but to no script: refused as damaged before any question.
mv "$dir/InitEn.dat.away" "$dir/InitEn.dat"
mv "$dir/QuenlorMySQLEn.dat" "$dir/QuenlorMySQLEn.dat.good"
head -c "$(stat -c %s "$dir/QuenlorMySQLEn.dat.good")" /dev/urandom >"$dir/QuenlorMySQLEn.dat"
drive click "$main" 1005 >/dev/null
damaged="A(z) QuenlorMySQLEn.dat parancsfájl sérült: a visszafejtett tartalma nem parancsfájl."
box=$(drive msgbox "A(z) *" ok)
[ "${box%%$'\n'*}" = "Dunmoor|$damaged" ] || fail "no box naming the damaged script: '$box'"
[ "$(sql -e "SELECT COUNT(*) FROM Quenlor.lost_rows")" = $rows ] || fail "rows lost to a damaged script"
drive syscommand "$main" 61536 >/dev/null # SC_CLOSE
timeout 60 tail --pid="$program" -f /dev/null || { fail "Dunmoor.exe did not close"; kill "$program"; }
mv "$dir/QuenlorMySQLEn.dat.good" "$dir/QuenlorMySQLEn.dat"
grep -q 'QuenlorMySQLEn.dat is damaged' "$dir/Dunmoor.log" || fail "the damaged script is not in the run log"

# The program killed mid-create, as Task Manager's "End task" kills it:
# Wine's taskkill /f terminates the process (TerminateProcess), so none of
# its code runs any more. The system still deletes the plain script it held.
# (No database left to ask about, and no settings to patch from.)
sql -e "DROP DATABASE IF EXISTS Quenlor; DROP DATABASE IF EXISTS Other"
reg_key delete /f >/dev/null; reg_key add /f >/dev/null
start_setup "$dir/killed.out"
drive click "$main" 1005 >/dev/null
wait_for_rows
"${wine[@]}" taskkill /f /im Dunmoor.exe >/dev/null && echo "program killed at ${n:-0} rows of $rows" ||
  fail "taskkill could not end Dunmoor.exe"
timeout 60 tail --pid="$program" -f /dev/null || fail "Dunmoor.exe outlived taskkill"
[ "$(sql -e "SELECT COUNT(*) FROM Quenlor.lost_rows")" -lt $rows ] || fail "the run had ended before the kill"
for plain in QuenlorMySQL.dat Init.dat; do
  [ -e "$dir/$plain" ] && fail "$plain left behind by the killed program"
done
# The killed run's database is its own unfinished one: a retry, unattended as
# a deployment tool makes it, makes it again without /replace, and no other:
# a database of another name stays with its row (2). /keep then keeps that
# one, saves its settings and patches it.
sql -e "CREATE DATABASE Other; CREATE TABLE Other.kept_rows (id INT); INSERT INTO Other.kept_rows VALUES (7)"
run() { exit_code "$exe" /engine:mysql /s "$MARIADB_HOST" /P "$MARIADB_PORT" /i "$MARIADB_USER" \
  /p "$MARIADB_PASSWORD" /q "$@" 2>/dev/null; }
[ "$(run /db:Other)" = 2 ] || fail "a database of another name was not kept"
[ "$(run /db:Quenlor)" = 0 ] || fail "the retry did not make the unfinished database again"
[ "$(sql -e "SELECT COUNT(*) FROM Quenlor.lost_rows")" = $rows ] || fail "not every row after the retry"
reg_key query | grep -q 'Unfinished Create' && fail "the record outlived the complete create"
[ "$(run /db:Other /keep)" = 0 ] || fail "/keep over a database of rows"
[ "$(sql -e "SELECT id FROM Other.kept_rows")" = 7 ] || fail "Other lost its row"
[ "$(sql -e "SELECT COUNT(*) FROM Other.schema_version")" = 1 ] || fail "/keep did not patch Other"
reg_key query | grep -Eq 'DB Type +REG_DWORD +0x1$' || fail "/keep saved no settings"
sql -e "DROP DATABASE Other"
reg_key delete /f >/dev/null
[ $status = 0 ] && echo "PASS: lost server"
exit $status

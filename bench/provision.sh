#!/usr/bin/env bash
# Provisioning speed on a real MariaDB: 20 000 small INSERT batches run by
# Dunmoor.exe under Wine (the patch from saved settings, through the ODBC
# Kelvane.dll), against the mariadb client running the same statements from a
# plain file. Each side also runs a one-batch script, which measures its fixed
# start: for Dunmoor, Wine's start of the program, the one-second delay before
# the progress dialog begins its work, connecting and closing. Prints the
# medians of BENCH_ROUNDS interleaved rounds (the server's commit to disk
# varies from run to run) and three ratios, Dunmoor / client: the whole run,
# the batches alone (each side's whole run less its one-batch run), and the
# whole-run ratio that the fixed start alone leaves. Last, the floor this
# platform sets: odbc_floor.exe (bench/odbc_floor.cpp) sends the same batches
# through Wine's ODBC to the same driver without Dunmoor, timed the same way;
# Dunmoor's batches alone against its batches alone is the figure to hold
# within 1.05.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$root/build/win64
program=$bin/demo/program
seal=$bin/sql/host-seal
work=$root/build/bench-provision
rows=${BENCH_ROWS:-20000}
rounds=${BENCH_ROUNDS:-3}
wine=("$root/scripts/wine" --prefix win64)

fail() { echo "provision bench: $*" >&2; exit 1; }
floor=$bin/bench/odbc_floor.exe
[ -x "$seal" ] && [ -f "$bin/dist/Dunmoor.exe" ] && [ -f "$floor" ] || fail "build the win64 preset first"

# The demo leaves a provisioned database and its saved settings behind.
"$root/scripts/demo" "$bin" >"$root/build/bench-demo.log" 2>&1 ||
  fail "the demo run that provisions the database failed (build/bench-demo.log)"

started=0
if ! "$root/scripts/mariadb-sandbox" status >/dev/null 2>&1; then
  "$root/scripts/mariadb-sandbox" start >/dev/null || fail "the sandbox did not start"
  started=1
fi
trap '[ "$started" = 1 ] && "$root/scripts/mariadb-sandbox" stop >/dev/null 2>&1' EXIT
eval "$("$root/scripts/mariadb-sandbox" env)"
sql() {
  mariadb --no-defaults -N -B -h "$MARIADB_HOST" -P "$MARIADB_PORT" \
    -u"$MARIADB_USER" -p"$MARIADB_PASSWORD" "$@"
}

mkdir -p "$work"

# Wine's system processes (services, the desktop) end soon after the last
# program does and take about a second to start again; on Windows they are
# always up. A command prompt waiting on a pipe keeps them up for the whole
# bench, and ends when the bench closes the pipe.
rm -f "$work/keeper"
mkfifo "$work/keeper"
"${wine[@]}" cmd <"$work/keeper" >/dev/null 2>&1 &
exec 7>"$work/keeper"
trap 'exec 7>&-; [ "$started" = 1 ] && "$root/scripts/mariadb-sandbox" stop >/dev/null 2>&1' EXIT

big=$work/inserts.sql
{
  printf 'DROP TABLE IF EXISTS bench_rows\r\nGO\r\n'
  printf 'CREATE TABLE bench_rows (id INT PRIMARY KEY, name VARCHAR(40)) ENGINE=InnoDB\r\nGO\r\n'
  seq 1 "$rows" | awk '{ printf "INSERT INTO bench_rows VALUES (%d, '\''row %d'\'')\r\nGO\r\n", $1, $1 }'
} >"$big"
one=$work/one.sql
printf 'SELECT 1\r\nGO\r\n' >"$one"
for s in "$big" "$one"; do
  sed -e 's/^[gG][oO].*$/;/' "$s" >"${s%.sql}-client.sql"
done

count() { sql Quenlor -e "SELECT COUNT(*) FROM bench_rows"; }
now() { date +%s.%N; }

# Seconds Dunmoor.exe takes to patch with the given script.
time_dunmoor() {
  "$seal" encrypt "$1" "$program/QuenlorPatchMySQLEn.dat" || fail "sealing $1"
  local start
  start=$(now)
  timeout 900 "${wine[@]}" "$program/Dunmoor.exe" >"$work/dunmoor.out" 2>&1 ||
    fail "Dunmoor.exe failed or did not end (build/bench-provision/dunmoor.out)"
  echo "$(now) - $start" | bc
}

# The same batches through the bare ODBC loop, on the connection Kelvane.dll
# makes for the patch.
time_floor() {
  local start connection="DRIVER={MariaDB Unicode};SERVER=$MARIADB_HOST;PORT=$MARIADB_PORT;UID=$MARIADB_USER;PWD=$MARIADB_PASSWORD;DATABASE=Quenlor;OPTION=67108864;"
  start=$(now)
  timeout 900 "${wine[@]}" "$floor" "$connection" "Z:${1//\//\\}" >"$work/floor.out" 2>&1 ||
    fail "odbc_floor.exe failed on $1 (build/bench-provision/floor.out)"
  echo "$(now) - $start" | bc
}

time_client() {
  local start
  start=$(now)
  sql Quenlor <"${1%.sql}-client.sql" >/dev/null || fail "the mariadb client run of $1 failed"
  echo "$(now) - $start" | bc
}

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

d_big=() d_one=() c_big=() c_one=() f_big=() f_one=()
for ((round = 1; round <= rounds; round++)); do
  d_one+=("$(time_dunmoor "$one")") || exit 1
  d_big+=("$(time_dunmoor "$big")") || exit 1
  [ "$(count)" = "$rows" ] || fail "Dunmoor.exe inserted $(count) of $rows rows"
  f_one+=("$(time_floor "$one")") || exit 1
  f_big+=("$(time_floor "$big")") || exit 1
  [ "$(count)" = "$rows" ] || fail "odbc_floor.exe inserted $(count) of $rows rows"
  c_one+=("$(time_client "$one")") || exit 1
  c_big+=("$(time_client "$big")") || exit 1
  [ "$(count)" = "$rows" ] || fail "the client inserted $(count) of $rows rows"
done

db=$(median "${d_big[@]}") d1=$(median "${d_one[@]}")
cb=$(median "${c_big[@]}") c1=$(median "${c_one[@]}")
fb=$(median "${f_big[@]}") f1=$(median "${f_one[@]}")
printf 'provisioning %d INSERT batches, median of %d rounds:\n' "$rows" "$rounds"
printf '  Dunmoor under Wine %.2f s (one-batch run %.2f s), mariadb client %.2f s (one-batch run %.2f s)\n' \
  "$db" "$d1" "$cb" "$c1"
printf '  ratio Dunmoor / client: whole run %.2f, batches alone %.2f\n' \
  "$(echo "$db / $cb" | bc -l)" "$(echo "($db - $d1) / ($cb - $c1)" | bc -l)"
printf "  whole-run ratio with batches as fast as the client's (fixed start only): %.2f\n" \
  "$(echo "($d1 + $cb - $c1) / $cb" | bc -l)"
printf '  floor: bare ODBC loop under Wine %.2f s (one-batch run %.2f s); Dunmoor / floor, batches alone: %.2f (goal 1.05 at most)\n' \
  "$fb" "$f1" "$(echo "($db - $d1) / ($fb - $f1)" | bc -l)"

#!/usr/bin/env bash
# Provisioning speed on a real MariaDB: 20 000 small INSERT batches run by
# Dunmoor.exe under Wine (the patch from saved settings, through the ODBC
# Kelvane.dll), against the mariadb client running the same statements from a
# plain file. Prints both times and their ratio (Dunmoor / client).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$root/build/win64
program=$bin/demo/program
seal=$bin/sql/host-seal
work=$root/build/bench-provision
rows=${BENCH_ROWS:-20000}
wine=("$root/scripts/wine" --prefix win64)

fail() { echo "provision bench: $*" >&2; exit 1; }
[ -x "$seal" ] && [ -f "$bin/dist/Dunmoor.exe" ] || fail "build the win64 preset first"

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
script=$work/inserts.sql
{
  printf 'DROP TABLE IF EXISTS bench_rows\r\nGO\r\n'
  printf 'CREATE TABLE bench_rows (id INT PRIMARY KEY, name VARCHAR(40)) ENGINE=InnoDB\r\nGO\r\n'
  seq 1 "$rows" | awk '{ printf "INSERT INTO bench_rows VALUES (%d, '\''row %d'\'')\r\nGO\r\n", $1, $1 }'
} >"$script"
"$seal" encrypt "$script" "$program/QuenlorPatchMySQLEn.dat" || fail "sealing the script"

count() { sql Quenlor -e "SELECT COUNT(*) FROM bench_rows"; }

start=$(date +%s.%N)
"${wine[@]}" "$program/Dunmoor.exe" >"$work/dunmoor.out" 2>&1 &
pid=$!
timeout 900 tail --pid="$pid" -f /dev/null || fail "Dunmoor.exe did not end"
dunmoor=$(echo "$(date +%s.%N) - $start" | bc)
[ "$(count)" = "$rows" ] || fail "Dunmoor.exe inserted $(count) of $rows rows"

sed -e 's/^[gG][oO].*$/;/' "$script" >"$work/inserts-client.sql"
start=$(date +%s.%N)
sql Quenlor <"$work/inserts-client.sql" || fail "the mariadb client run failed"
client=$(echo "$(date +%s.%N) - $start" | bc)
[ "$(count)" = "$rows" ] || fail "the client inserted $(count) of $rows rows"

printf 'provisioning %d INSERT batches: Dunmoor %.2f s, mariadb client %.2f s, ratio %.2f\n' \
  "$rows" "$dunmoor" "$client" "$(echo "$dunmoor / $client" | bc -l)"

#!/usr/bin/env bash
# The MySQL sample scripts on a real MariaDB: the schema and the initial data
# create a complete database, and the patch runs twice on it without an error.
# Each batch goes to the client as the program sends it: the GO line ends it.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
sandbox=$root/scripts/mariadb-sandbox
if ! command -v mariadbd >/dev/null 2>&1 && [ ! -x /usr/sbin/mariadbd ]; then
  echo "SKIP: no MariaDB server on this machine"
  exit 77
fi

started=0
if ! "$sandbox" status >/dev/null 2>&1; then
  "$sandbox" start >/dev/null || { echo "FAIL: the MariaDB sandbox did not start"; exit 1; }
  started=1
fi
finish() { [ "$started" = 1 ] && "$sandbox" stop >/dev/null 2>&1 || true; }
trap finish EXIT
eval "$("$sandbox" env)"
db=dunmoor_script_check

sql() { mariadb --no-defaults --socket="$MARIADB_SOCKET" -u"$MARIADB_USER" -p"$MARIADB_PASSWORD" "$@"; }
# A batch separator is any line whose first two characters are g/G and o/O.
run_script() {
  sed -e 's/^[gG][oO].*$/;/' "$root/sql/$1.sql" | sql --batch "$db" ||
    { echo "FAIL: $1.sql does not run on MariaDB"; exit 1; }
}

sql -e "DROP DATABASE IF EXISTS $db; CREATE DATABASE $db"
run_script QuenlorMySQL
run_script Init
run_script QuenlorPatchMySQL
run_script QuenlorPatchMySQL

tables=$(sql -N -e "SELECT COUNT(*) FROM information_schema.tables WHERE table_schema='$db'")
[ "$tables" -ge 9 ] || { echo "FAIL: $tables tables"; exit 1; }
for t in accounts roles settings; do
  rows=$(sql -N "$db" -e "SELECT COUNT(*) FROM $t")
  [ "$rows" -gt 0 ] || { echo "FAIL: no initial rows in $t"; exit 1; }
done
patched=$(sql -N "$db" -e "SELECT COUNT(*) FROM schema_version WHERE version='1.2.1'")
[ "$patched" = 1 ] || { echo "FAIL: the patch recorded $patched versions 1.2.1"; exit 1; }
column=$(sql -N -e "SELECT COUNT(*) FROM information_schema.columns WHERE table_schema='$db' AND table_name='accounts' AND column_name='failed_logins'")
[ "$column" = 1 ] || { echo "FAIL: the patch's column is missing"; exit 1; }
sql -e "DROP DATABASE $db"
echo "MySQL scripts: $tables tables, initial rows present, patch idempotent"

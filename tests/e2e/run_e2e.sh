#!/usr/bin/env bash
# One unattended run of Dunmoor.exe in a private program directory, watched by
# uidriver.exe, then the checks of what it left behind and of its exit status.
# A successful create is followed by a start without arguments, which must
# patch from the saved settings; "quiet" is the unreachable run with /q;
# "exists" meets a database that is already there (the library fails the
# existence check), keeps it, and then replaces it when started with /replace.
# "guarded" is the start-up check and what the run hands on: starts refused
# before anything is loaded or connected, and the installer's environment.
#   run_e2e.sh create|unreachable|quiet|exists|guarded SOURCE_DIR BINARY_DIR win64|win32 UIDRIVER DUNMOOR KELVANE
set -uo pipefail
scenario=$1 src=$2 bin=$3 prefix=$4 uidriver=$5 dunmoor=$6 kelvane=$7
. "$src/tests/e2e/e2e_prelude.sh"
require_platform
take_registry_lock

dir=$bin/e2e/$scenario
rm -rf "$dir" && mkdir -p "$dir"
cp "$dunmoor" "$kelvane" "$bin"/dist/*En.dat "$dir/"

# The Quenlor server's installation owns the key, in the 32-bit registry
# view; the program only opens it.
"${wine[@]}" reg delete "$key" /reg:32 /f >/dev/null 2>&1
"${wine[@]}" reg add "$key" /reg:32 /f >/dev/null 2>&1 || fail "could not create $key"

progress='child=1015=Adatbázis létrehozása  [Quenlor]'
screens=$bin/screens
mkdir -p "$screens"
winpath() { echo "Z:${1//\//\\}"; }
exe=$(winpath "$dir/Dunmoor.exe")
# An event read back by its id and type (1 error, 2 warning, 4 information)
# from Wine's trace, where the call's arguments come right before its texts.
event_is() { # event_is OUT TEXT ID TYPE
  local call type id
  call=$(grep -a -B1 "eventlog:ReportEventW L\"$2" "$1" | grep -ao 'ReportEventW ([^)]*' | head -1)
  IFS=, read -r _ type _ id _ <<<"${call#*(}"
  [ -n "$call" ] && [ "$((type))" = "$4" ] && [ "$((id & 0xFFFF))" = "$3" ]
}
if [ "$scenario" = guarded ]; then
  # Each refused start ends with 1 before it loads the library (no
  # Kelvane.log) or writes a run log where the check failed. Under /q its
  # reason goes to the debugger output; otherwise a box names the path.
  arguments=(/sdbhost /isa /psecret /P1500)
  refused() { # refused NAME [SWITCH...]: a /q start whose output goes to NAME.out
    WINEDEBUG=+debugstr,+eventlog timeout 60 "${wine[@]}" "$dir/Dunmoor.exe" "${arguments[@]}" "$@" /q \
      >"$dir/$name.out" 2>&1
    local got=$?
    [ "$got" = 1 ] || fail "$name: exit status $got, expected 1"
    [ -e "$dir/Kelvane.log" ] && fail "$name: the library was loaded and called"
  }
  # Wine writes each backslash of the debugger output twice.
  debugged() { local path=$(winpath "$1"); echo "${path//\\/\\\\}"; }
  boxed() { # boxed TEXT [SWITCH...]: a start without /q shows the box TEXT and ends with 1
    local text=$1 out got
    shift
    "${wine[@]}" "$dir/Dunmoor.exe" "${arguments[@]}" "$@" >/dev/null 2>&1 &
    out=$("${wine[@]}" "$uidriver" --timeout 60000 --exe "$exe" msgbox "$text*" ok 2>&1 | tr -d '\r')
    [ "${out%%$'\n'*}" = "Dunmoor|$text" ] && grep -q "^Módosíthatja: Everyone\." <<<"$out" ||
      fail "the box '$text': '$out'"
    wait $!
    got=$?
    [ "$got" = 1 ] || fail "the start under the box '$text' ended with $got, expected 1"
  }
  # A program directory others may change (mode 0777: Everyone to Wine).
  chmod 0777 "$dir"
  boxed "Nem csak a rendszergazdák módosíthatják ezt: $(winpath "$dir")"
  name=open-directory; refused
  grep -aqF "Open to others: $(debugged "$dir") can be changed by Everyone: nothing done" "$dir/$name.out" &&
    grep -aq 'Dunmoor: Nem csak a rendszergazd' "$dir/$name.out" &&
    event_is "$dir/$name.out" "Refused at start" 1004 1 ||
    fail "the open program directory's reason, box text or event: $(cat "$dir/$name.out")"
  [ -e "$dir/Dunmoor.log" ] && fail "a run log was written in the open program directory"
  chmod 0755 "$dir"
  # Each of what the program loads, reads or runs, open to others in turn.
  printf '[Drivers]\r\n' >"$dir/Kelvane.ini" && mkdir -p "$dir/Support" && touch "$dir/Support/SqlExpr.exe"
  for own in Kelvane.dll Kelvane.ini QuenlorEn.dat Support Support/SqlExpr.exe; do
    chmod o+w "$dir/$own"
    name=open-${own//\//-}; refused
    grep -aqF "Open to others: $(debugged "$dir/$own") can be changed by Everyone" "$dir/$name.out" ||
      fail "$own, open to others, was not named"
    chmod o-w "$dir/$own"
  done
  rm -r "$dir/Kelvane.ini" "$dir/Support"
  # A /log: folder others may change.
  logs=$dir/openlogs
  mkdir -p "$logs" && chmod 0777 "$logs"
  boxed "Nem csak a rendszergazdák módosíthatják a futási napló mappáját: $(winpath "$logs")" \
    "/log:$(winpath "$logs")\\d.log"
  name=open-log-folder; refused "/log:$(winpath "$logs")\\d.log"
  grep -aqF "Run log refused: its folder $(debugged "$logs") can be changed by Everyone" "$dir/$name.out" ||
    fail "the open log folder's reason is not on the debugger output"
  [ -e "$logs/d.log" ] && fail "a run log was written in the open folder"
  # A log that is a second name of another file: that file stays as it was.
  printf 'keep\n' >"$dir/other.txt" && ln "$dir/other.txt" "$dir/linked.log"
  name=hard-link; refused "/log:$(winpath "$dir/linked.log")"
  [ "$(cat "$dir/other.txt")" = keep ] || fail "the hard-linked file was written: $(cat "$dir/other.txt")"
  grep -aq 'Run log refused: .*linked.log is a second name of a file' "$dir/$name.out" ||
    fail "the hard link's reason is not on the debugger output"
  # The installer never sees DUNMOOR_PASSWORD: Yes to the question, then the
  # set-up through the recording library, then the finish button.
  mkdir -p "$dir/Support" && cp "$bin/fakes/installer/SqlExpr.exe" "$dir/Support/"
  DUNMOOR_PASSWORD=envsecret "${wine[@]}" "$dir/Dunmoor.exe" >/dev/null 2>&1 &
  program=$!
  "${wine[@]}" "$uidriver" --timeout 60000 --exe "$exe" \
    msgbox 'Szeretné telepíteni a Microsoft SQL Express Edition-t?' yes >/dev/null 2>&1
  main='title=Adatbázis létrehozása [Quenlor]'
  for _ in $(seq 1 60); do
    [ "$("${wine[@]}" "$uidriver" --timeout 30000 --exe "$exe" state "$main" 1007 2>&1 | tr -d '\r')" = \
      "enabled=1 visible=1 checked=0" ] && break
    sleep 1
  done
  "${wine[@]}" "$uidriver" --timeout 30000 --exe "$exe" click "$main" 1007 >/dev/null 2>&1
  timeout 60 tail --pid="$program" -f /dev/null || { fail "the interactive run did not end"; kill "$program"; }
  grep -q '^passwordVariable=unset' "$dir/Support/SqlExpr.log" ||
    fail "the installer's environment: $(cat "$dir/Support/SqlExpr.log" 2>&1)"
  for view in 64 32; do
    "${wine[@]}" reg delete 'HKLM\SOFTWARE\Microsoft\Microsoft SQL Server\QNSERVER' /reg:$view /f >/dev/null 2>&1
  done
  "${wine[@]}" reg delete "$key" /reg:32 /f >/dev/null 2>&1
  [ $status = 0 ] && echo "PASS: $scenario"
  exit $status
fi
"${wine[@]}" "$uidriver" --timeout 60000 --exe "$exe" watch "$progress" "$(winpath "$dir/progress.bmp")" \
  >"$dir/watch.out" 2>&1 &
watcher=$!
arguments=(/sdbhost /isa /psecret /P1500)
case "$scenario" in
  unreachable|quiet) export KELVANE_CONNECT=0 ;;
  exists) export KELVANE_RESULTS=-1 ;;
esac
# The events reach Wine's eventlog channel. The create names its run log
# with /log: and a quoted path holding blanks, exactly as typed (uidriver's
# run hands the arguments over as given).
runlog=$dir/Dunmoor.log
channels=+eventlog
if [ "$scenario" = quiet ]; then # and a run log that cannot be written
  arguments+=(/q '/log:Z:\no\such\folder\d.log') channels=+debugstr,+eventlog
fi
if [ "$scenario" = create ]; then
  runlog="$dir/run logs/Dunmoor run.log"
  mkdir -p "$dir/run logs"
  arguments+=("/log:\"$(winpath "$runlog")\"")
fi
WINEDEBUG=$channels exit_code "$exe" "${arguments[@]}" >"$dir/exit.code" 2>"$dir/dunmoor.out" &
program=$!

if [ "$scenario" = unreachable ]; then
  # Held at the workflow's box, the first run still owns the machine. A
  # retry from another copy, with the same recording library, ends at once
  # with status 1: quiet, its reason goes to the debugger output and behind
  # the first run's lines in the same log; interactive, it shows its box.
  "${wine[@]}" "$uidriver" --timeout 60000 --exe "$exe" wait title=Dunmoor >/dev/null 2>&1 ||
    fail "the first run's box did not appear"
  second=$dir/second
  mkdir -p "$second" && cp "$dunmoor" "$kelvane" "$second/"
  again=$(KELVANE_LOG=$(winpath "$dir/Kelvane.log") WINEDEBUG=+debugstr run_timeout_ms=30000 exit_code \
    "$(winpath "$second/Dunmoor.exe")" "/log:$(winpath "$dir/Dunmoor.log")" /sother /isa /pagain2 /q \
    2>"$dir/second.out")
  [ "$again" = 1618 ] || fail "a second start ended with status $again, expected 1618"
  grep -aq 'Another run of Dunmoor is under way on this machine' "$dir/second.out" ||
    fail "the second start's reason is not on the debugger output"
  exit_code "$(winpath "$second/Dunmoor.exe")" >"$dir/second.code" 2>"$dir/second-interactive.out" &
  again=$!
  out=$("${wine[@]}" "$uidriver" --timeout 60000 --exe "$(winpath "$second/Dunmoor.exe")" \
    msgbox "A Dunmoor már fut ezen a gépen*" ok 2>&1 | tr -d '\r')
  [ "${out%%|*}" = Dunmoor ] || fail "the second interactive start's box: '$out'"
  wait "$again"
  again=$(cat "$dir/second.code")
  [ "$again" = 1618 ] || fail "a second interactive start ended with status $again, expected 1618"
  # The workflow's box, then the dialog's own: the same text twice.
  for who in workflow dialog; do
    out=$("${wine[@]}" "$uidriver" --timeout 60000 --exe "$exe" msgbox "SQL Server nem érhető el." ok 2>&1 | tr -d '\r')
    [ "$out" = "Dunmoor|SQL Server nem érhető el." ] || fail "$who box: '$out'"
  done
fi

kept='A(z) Quenlor adatbázis már létezik a(z) dbhost szerveren, ezért nem változott semmi.'
if [ "$scenario" = exists ]; then
  out=$("${wine[@]}" "$uidriver" --timeout 60000 --exe "$exe" msgbox "$kept*" ok 2>&1 | tr -d '\r')
  [ "${out%%$'\n'*}" = "Dunmoor|$kept" ] || fail "the kept database's box: '$out'"
fi

wait "$watcher" || fail "the progress dialog did not appear and close: $(cat "$dir/watch.out")"
# With /q no box may wait for anyone: the program ends by itself.
timeout 60 tail --pid="$program" -f /dev/null || { fail "Dunmoor.exe did not end"; kill "$program"; }
wait "$program"
exit_status=$(cat "$dir/exit.code")
want_status=1
[ "$scenario" = create ] && want_status=0
[ "$scenario" = exists ] && want_status=2
[ "$exit_status" = "$want_status" ] || fail "exit status $exit_status, expected $want_status"
# The run log: UTF-8 with its mark, CRLF, the password masked, the outcome
# and the exit status; the same outcome as an event of its id and type.
check_log() { # check_log LOG STATUS OUTCOME EVENT TYPE
  [ "$(head -c 3 "$1" | xxd -p)" = efbbbf ] || fail "no run log with its byte order mark at $1"
  grep -qv $'\r$' "$1" && fail "a line of the run log without CRLF"
  grep -aq secret "$1" && fail "the password is in the run log"
  grep -aq 'Command line: /sdbhost /isa /p\*\*\* ' "$1" || fail "the masked command line is not logged"
  grep -aq "Outcome: $3" "$1" || fail "no outcome '$3' in the run log"
  grep -aq "Exit status $2"$'\r$' "$1" || fail "no exit status $2 in the run log"
  event_is "$dir/dunmoor.out" "$3" "$4" "$5" || fail "no event $4 of type $5: '$3'"
}
case "$scenario" in
  create) check_log "$runlog" 0 "Created database Quenlor on dbhost:1500 (MS SQL Server)" 1000 4 ;;
  exists) check_log "$runlog" 2 "Kept database Quenlor" 1002 2 ;;
  unreachable) check_log "$runlog" 1 "Creating database Quenlor on dbhost:1500 (MS SQL Server) failed" 1001 1
    # The second start's lines, together behind the first run's, without its password.
    block=$(sed -n '/second start, refused/,/Exit status/p' "$runlog" | tr -d '\r' | cut -c11-)
    grep -q '^Command line: /log:Z:.* /sother /isa /p\*\*\* /q$' <<<"$block" &&
      grep -q '^Another run of Dunmoor is under way' <<<"$block" &&
      [ "$(tail -1 <<<"$block")" = "Exit status 1618" ] ||
      fail "the second start's lines are not together in the run log: $block"
    grep -aq again2 "$runlog" && fail "the second start's password is in the run log"
    [ "$(grep -ac '^.\{10\}Outcome: ' "$runlog")" = 1 ] || fail "not one outcome in the run log" ;;
  quiet) [ "$(grep -ac 'Run log .* cannot be opened' "$dir/dunmoor.out")" = 1 ] ||
    fail "the unwritable run log was not reported once" ;;
esac
if [ -f "$dir/progress.bmp" ]; then
  convert "$dir/progress.bmp" "$screens/progress-$scenario.png" 2>/dev/null ||
    cp "$dir/progress.bmp" "$screens/progress-$scenario.bmp"
fi

[ -f "$dir/Kelvane.log" ] || { echo "FAIL: no Kelvane.log"; exit 1; }
# The double writes Windows line ends.
log=$dir/Kelvane.unix.log
tr -d '\r' <"$dir/Kelvane.log" >"$log"
connect='ConnectDB dbType=2 server=dbhost userId=sa password=secret databaseName= port=1500 windowsAuth=0 valid=1'
[ "$(grep -c '^ConnectDB' "$log")" = 1 ] || fail "not exactly one ConnectDB"
[ "$(head -1 "$log")" = "$connect" ] || fail "connection record: $(head -1 "$log")"
values=$("${wine[@]}" reg query "$key" /reg:32 2>/dev/null | tr -d '\r')

if [ "$scenario" = create ]; then
  # The creation sequence for Quenlor, then every batch of both scripts.
  grep -q '^QueryExecuteDB CREATE DATABASE Quenlor$' "$log" || fail "no CREATE DATABASE Quenlor"
  batches=$(($(grep -ci '^go' "$src/sql/Quenlor.sql") + $(grep -ci '^go' "$src/sql/Init.sql")))
  create_at=$(grep -n '^QueryExecuteDB USE Quenlor$' "$log" | head -1 | cut -d: -f1)
  after=$(tail -n +"$((${create_at:-0} + 1))" "$log" | grep -c '^QueryExecuteDB')
  [ "$after" = "$batches" ] || fail "$after batches after USE Quenlor, expected $batches"
  first_schema=$(grep -m1 -v '^\s*$' "$src/sql/Quenlor.sql")
  grep -n "" "$log" | grep -F -e "$first_schema" | head -1 | grep -q "^$((create_at + 1)):" ||
    fail "the schema's first batch does not follow the creation sequence"
  last_init=$(grep -v '^\s*$' "$src/sql/Init.sql" | grep -vi '^go' | tail -1)
  tail -1 "$log" | grep -qF -e "$last_init" || fail "the initial data's last batch is not last"
  echo "$values" | grep -Eq 'DB Type +REG_DWORD +0x2$' || fail "DB Type not saved: $values"
  echo "$values" | grep -Eq 'DB Info +REG_BINARY +[0-9A-F]{512}$' || fail "DB Info not saved"
  for v in 'TCP Port' 'Max Connection' 'OpenSSL Path'; do
    echo "$values" | grep -q "$v" || fail "$v not saved"
  done

  # The next start reads the settings back from the 32-bit view and patches
  # the database it created, without opening the main dialog.
  WINEDEBUG=+eventlog exit_code "$exe" >"$dir/patch.code" 2>"$dir/patch.out" &
  program=$!
  timeout 60 tail --pid="$program" -f /dev/null || { fail "the patch start did not end"; kill "$program"; }
  wait "$program"; [ "$(cat "$dir/patch.code")" = 0 ] || fail "the patch start ended with status $(cat "$dir/patch.code")"
  tr -d '\r' <"$dir/Kelvane.log" >"$log"
  expect_connect="${connect/databaseName= /databaseName=Quenlor }"
  [ "$(grep '^ConnectDB' "$log" | sed -n 2p)" = "$expect_connect" ] ||
    fail "the patch did not connect with the saved settings: $(grep '^ConnectDB' "$log" | sed -n 2p)"
  grep -q '^QueryExecuteDB use Quenlor$' "$log" || fail "the patch did not select Quenlor"
  event_is "$dir/patch.out" "Patched database Quenlor" 1100 4 || fail "no information event 1100"
else
  if [ "$scenario" = exists ]; then
    [ "$(grep -c '^QueryExecuteDB' "$log")" = 1 ] || fail "more than the existence check ran"
  else
    grep -q '^QueryExecuteDB' "$log" && fail "statements ran without a connection"
  fi
  echo "$values" | grep -Eq 'DB Type|DB Info|TCP Port|Max Connection|OpenSSL Path' && fail "values written after a failure: $values"
fi
if [ "$scenario" = exists ]; then
  # The dry run sends the connection and the check alone, and ends as the
  # create would: 2 kept as it is, 0 with /replace.
  for want in 2 "0 /replace"; do
    set -- $want
    checked=$(exit_code "$exe" "${arguments[@]}" /q /check ${2:-} 2>/dev/null)
    [ "$checked" = "$1" ] || fail "/check ${2:-} ended with status $checked, expected $1"
  done
  tr -d '\r' <"$dir/Kelvane.log" >"$log"
  [ "$(grep -c '^ConnectDB' "$log") $(grep -c '^QueryExecuteDB' "$log")" = "3 3" ] ||
    fail "/check sent more than the connection and the check"
  grep -aq 'Check: database Quenlor on dbhost:1500 (MS SQL Server) exists and would be kept' "$runlog" ||
    fail "the dry run's result is not in the run log"
  # /? alone lists the switches and connects to nothing.
  exit_code "$exe" '/?' >"$dir/help.code" 2>/dev/null &
  program=$!
  out=$("${wine[@]}" "$uidriver" --timeout 60000 --exe "$exe" msgbox 'Dunmoor.exe [kapcsolók]*' ok 2>&1 | tr -d '\r')
  [ "${out%%$'\n'*}" = "Dunmoor|Dunmoor.exe [kapcsolók]" ] || fail "the switches' box: '$out'"
  wait "$program"; [ "$(cat "$dir/help.code")" = 0 ] || fail "/? ended with status $(cat "$dir/help.code")"
  # Asked to replace it without the server's key, the create stops before it
  # connects; with the key back it drops and creates it unasked, the
  # password from the environment.
  "${wine[@]}" reg delete "$key" /reg:32 /f >/dev/null 2>&1
  replaced=$(DUNMOOR_PASSWORD=secret exit_code "$exe" /sdbhost /isa /P1500 /q /REPLACE \
    2>"$dir/replace.out")
  [ "$replaced" = 1 ] || fail "/replace without the key ended with status $replaced"
  grep -aq 'Preflight: HKEY_LOCAL_MACHINE.*Quenlor Server (32-bit registry view) cannot be written' "$runlog" ||
    fail "the missing key is not in the run log"
  tr -d '\r' <"$dir/Kelvane.log" >"$log"
  [ "$(grep -c '^ConnectDB' "$log")" = 3 ] || fail "the create connected without the key"
  # One batch of its schema refused: created all the same, with a warning.
  "${wine[@]}" reg add "$key" /reg:32 /f >/dev/null 2>&1
  replaced=$(DUNMOOR_PASSWORD=secret KELVANE_RESULTS=-1,0,0,0,-1 WINEDEBUG=+eventlog exit_code \
    "$exe" /sdbhost /isa /P1500 /q /REPLACE 2>>"$dir/replace.out")
  [ "$replaced" = 0 ] || fail "/replace ended with status $replaced"
  event_is "$dir/replace.out" "Created database Quenlor on dbhost:1500 (MS SQL Server), but the server refused 1 of" 1003 2 ||
    fail "no warning event 1003 for the refused batch"
  tr -d '\r' <"$dir/Kelvane.log" >"$log"
  grep -q '^QueryExecuteDB CREATE DATABASE Quenlor$' "$log" || fail "/replace did not create Quenlor"
  [ "$(grep '^ConnectDB' "$log" | sed -n 4p)" = "$connect" ] || fail "DUNMOOR_PASSWORD not taken"

  # The command line as deployment tools write it, its whole exit code read:
  # a blank before each value; another engine and name; values refused,
  # never cut, and a typo beside /replace, both before any connection.
  run() { exit_code "$exe" "$@" /q 2>/dev/null; }
  [ "$(run /s dbhost7 /P 1500 /i sa /p secret)" = 2 ] || fail "blanks before the values"
  [ "$(run /engine:MySQL /db:Sales /sdbhost /isa /psecret /check)" = 2 ] || fail "/engine: /db:"
  [ "$(run "/s$(printf 'h%.0s' {1..49})" /isa /psecret)" = 1639 ] || fail "a 49-byte server"
  [ "$(run /replace /chek /sdbhost /isa /psecret)" = 1639 ] || fail "/replace beside a typo"
  [ "$(DUNMOOR_PASSWORD=$(printf 'x%.0s' {1..32}) run /sdbhost /isa)" = 1639 ] ||
    fail "a 32-byte DUNMOOR_PASSWORD"
  tr -d '\r' <"$dir/Kelvane.log" >"$log"
  [ "$(grep -c '^ConnectDB' "$log")" = 6 ] || fail "a refused command line connected"
  grep '^ConnectDB' "$log" | sed -n 5p | grep -q 'server=dbhost7 userId=sa password=secret .* port=1500 ' ||
    fail "the values after blanks: $(grep '^ConnectDB' "$log" | sed -n 5p)"
  grep '^ConnectDB' "$log" | sed -n 6p | grep -q '^ConnectDB dbType=1 .* port=3306 ' ||
    fail "/engine:mysql: $(grep '^ConnectDB' "$log" | sed -n 6p)"
  [ "$(tail -1 "$log")" = "QueryExecuteDB SELECT (SELECT 'exists' UNION ALL SELECT SCHEMA_NAME) FROM information_schema.SCHEMATA WHERE SCHEMA_NAME = 'Sales'" ] ||
    fail "/db:Sales was not checked on MySQL"
  grep -aq 'Command line refused: /replace with words the program does not know: /chek' "$runlog" ||
    fail "the refusal of /chek is not in the run log"
  # Saved by the /replace above: /patch patches them unattended, and its dry
  # run selects the database and runs nothing; without settings it fails.
  export KELVANE_RESULTS=0 # the patch's "use" succeeds
  [ "$(run /patch)" = 0 ] && [ "$(run /patch /check)" = 0 ] || fail "/patch from the saved settings"
  tr -d '\r' <"$dir/Kelvane.log" >"$log"
  [ "$(grep -c '^QueryExecuteDB use Quenlor$' "$log")" = 2 ] || fail "/patch did not select Quenlor twice"
  "${wine[@]}" reg delete "$key" /reg:32 /f >/dev/null 2>&1
  [ "$(WINEDEBUG=+eventlog exit_code "$exe" /patch /q 2>"$dir/patch.out")" = 1 ] ||
    fail "/patch without saved settings"
  event_is "$dir/patch.out" "Patching failed: no settings are saved" 1101 1 || fail "no error event 1101"
fi
if [ "$scenario" = unreachable ]; then
  checked=$(exit_code "$exe" "${arguments[@]}" /q /check 2>/dev/null)
  [ "$checked" = 1 ] || fail "/check of an unreachable server ended with status $checked"
fi
if [ "$scenario" = quiet ]; then
  # The texts of both boxes (the workflow's and the dialog's) and the
  # library's reason, on the debugger output instead.
  [ "$(grep -ac 'Dunmoor: SQL Server nem' "$dir/dunmoor.out")" = 2 ] ||
    fail "the box texts are not on the debugger output: $(cat "$dir/dunmoor.out")"
  grep -aq 'recorded connection refused' "$dir/dunmoor.out" || fail "the library's reason is not on the debugger output"
  # Switches past the parser's 259 characters are refused whole, never cut.
  long=$(run_timeout_ms=30000 exit_code "$exe" /sdbhost /isa "/x$(printf '%0260d' 0)" /psecret /q 2>"$dir/long.out")
  [ "$long" = 1639 ] || fail "an over-long command line ended with status $long, expected 1639"
  grep -aq '^.\{10\}Command line refused: its switches take 288 characters' "$dir/Dunmoor.log" ||
    fail "the over-long command line's refusal is not in the run log"
  [ "$(grep -c '^ConnectDB' "$dir/Kelvane.log")" = 1 ] || fail "the over-long command line connected"
fi
for plain in Quenlor.dat Init.dat; do
  [ -e "$dir/$plain" ] && fail "plain script $plain left in the program directory"
done
"${wine[@]}" reg delete "$key" /reg:32 /f >/dev/null 2>&1
[ $status = 0 ] && echo "PASS: $scenario"
exit $status

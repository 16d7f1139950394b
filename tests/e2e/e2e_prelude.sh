# The shared start of the end-to-end scripts, sourced after they have set
# src, bin, prefix and uidriver.
wine=("$src/scripts/wine" --prefix "$prefix")
key='HKLM\Software\Moravel\Quenlor Server'
status=0
fail() { echo "FAIL: $*"; status=1; }

# Faults seen where setting status cannot reach the test (a command
# substitution, a background job) are kept in a file: the test fails at its
# exit and shows them there, whatever its own output was redirected to.
faults=$(mktemp)
fault() { # fault WHAT [FILE]: WHAT, kept with FILE's text (a backtrace)
  echo "FAIL: $1" | tee -a "$faults" >&2
  [ -z "${2:-}" ] || cat "$2" >>"$faults"
  status=1
}
at_exit=() # commands to run as the test ends, such as stopping what it started
end_run() {
  local rc=$? command
  for command in "${at_exit[@]}"; do eval "$command"; done
  if [ -s "$faults" ]; then
    echo "FAIL: the faults of this run:" && cat "$faults"
    [ "$rc" != 0 ] && [ "$rc" != 77 ] || rc=1
  fi
  rm -f "$faults"
  exit "$rc"
}
trap end_run EXIT

# Runs a Windows program (its full Windows path, then its arguments as its
# command line shall hold them) and prints its whole exit code as uidriver
# read it: a Unix exit status keeps only the low 8 bits, and reads 0 for a
# program that crashed. The program's standard error (its debugger output)
# goes to ours as it comes, so a caller may read it from a file while the
# program runs. A crash (an exception code, 0xC0000000 and up), or a run
# uidriver could not make or that outlasted run_timeout_ms, is a fault of the
# test, kept with what the program wrote on standard output (where Wine's
# debugger writes a crash's backtrace); the function then returns 1.
run_timeout_ms=120000
exit_code() {
  local out code rc=0
  out=$(mktemp)
  "${wine[@]}" "$uidriver" --timeout "$run_timeout_ms" run "$@" >"$out" || rc=$?
  sed -i 's/\r$//' "$out"
  code=$(tail -n 1 "$out")
  if [[ $code =~ ^[0-9]+$ ]]; then sed -i '$d' "$out"; else code=none; fi
  cat "$out" >&2
  # (scripts/wine also fails uidriver's run when the program crashed.)
  if [ "$code" != none ] && [ "$code" -ge $((0xC0000000)) ]; then
    fault "$1 crashed with exception $(printf '0x%08X' "$code"); its output:" "$out"
    rc=1
  elif [ "$rc" != 0 ] || [ "$code" = none ]; then
    fault "uidriver could not run $1 to its end (status $rc)" "$out"
    rc=1
  fi
  rm -f "$out"
  echo "$code"
  return "$rc"
}

# Polls until the command given succeeds; fails (status 1) when it has not
# within wait_seconds (60). Waits for the state a test needs (a field's
# value, a box, a row count) instead of a fixed sleep that load may outlast.
wait_seconds=60
wait_for() {
  local deadline=$((SECONDS + wait_seconds))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# Skips (77) only where this machine cannot run the preset's Wine at all, as
# scripts/wine answers. Any other probe result (uidriver without arguments
# answers 2) is a fault: a crash, a time-out, a prefix that did not start. So
# is a build without the sealed scripts.
require_platform() {
  local probe_rc=0 probe
  probe=$(timeout 120 "${wine[@]}" "$uidriver" 2>&1) || probe_rc=$?
  case "$probe_rc" in
    2) ;;
    77) echo "SKIP: this machine cannot run $prefix Wine"; exit 77 ;;
    *) echo "FAIL: uidriver.exe did not run under $prefix Wine (exit $probe_rc): $probe"; exit 1 ;;
  esac
  if [ "$(ls "$bin"/dist/*En.dat 2>/dev/null | wc -l)" -lt 7 ]; then
    echo "FAIL: the sealed scripts are not in $bin/dist (build the sealed_scripts target)"
    exit 1
  fi
}

# ctest's RESOURCE_LOCK orders the runs of one build tree; builds of other
# trees share the same Wine registry, so the server's key is also taken by a
# lock file beside the prefix while this run owns it.
take_registry_lock() {
  exec 8>"$src/build/wine-$prefix.quenlor-registry.lock"
  flock -w 170 8 || { echo "FAIL: the registry lock stayed taken"; exit 1; }
}

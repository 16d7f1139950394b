#!/usr/bin/env bash
# scripts/bootstrap on a machine whose mirror is mid-sync, with stand-ins for
# apt-get, dpkg, dpkg-query, locale and sudo: nothing real is installed.
# A failed refresh and an install that needs the release's own suites end
# installed from them; after a good refresh no target release is ever given;
# when the last try fails, apt's reason stops the bootstrap.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
[ -n "$codename" ] || { echo "SKIP: /etc/os-release names no codename"; exit 77; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/scripts" "$tmp/bin"
cp "$root"/scripts/{bootstrap,apt-install,apt-update} "$tmp/scripts/"
stand_in() { printf '#!/bin/sh\n%s\n' "$2" >"$tmp/$1" && chmod +x "$tmp/$1"; }
stand_in scripts/bootstrap-win32 'exit 0'
stand_in bin/sudo 'exec "$@"'
stand_in bin/dpkg 'echo i386'
stand_in bin/dpkg-query 'exit 1'
stand_in bin/locale 'echo hu_HU.utf8'
# The update fails unless UPDATE=ok; the install succeeds with INSTALL=ok, or
# with INSTALL=target when given a target release.
stand_in bin/apt-get 'echo "$*" >>"$CALLS"
if [ "$1" = update ]; then
  [ "$UPDATE" = ok ] && exit 0
  echo "E: Failed to fetch http://mirror.test/sec/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
  exit 100
fi
case "$INSTALL $*" in ok*|"target "*" -t "*) exit 0 ;; esac
echo "E: Unable to correct problems, you have held broken packages." >&2
exit 100'

status=0
run() { # run UPDATE INSTALL EXPECTED-STATUS
  : >"$tmp/calls"
  env -u DUNMOOR_APT_STATE UPDATE=$1 INSTALL=$2 CALLS=$tmp/calls APT_UPDATE_PAUSE=0 \
    PATH="$tmp/bin:$PATH" "$tmp/scripts/bootstrap" >"$tmp/out" 2>&1
  rc=$?
  [ "$rc" = "$3" ] || fail "update $1, install $2: status $rc, expected $3"
}
fail() {
  echo "FAIL: $*"
  sed 's/^/  | /' "$tmp/out" "$tmp/calls"
  status=1
}

run fail target 0
[ "$(grep -c '^update' "$tmp/calls")" = 3 ] || fail "the refresh was not tried three times"
grep -m1 '^install' "$tmp/calls" | grep -q -- ' -t ' && fail "the first install had a target release"
grep -q "^install .* -t $codename .*wine32:i386" "$tmp/calls" || fail "no install from $codename"
grep -q "http://mirror.test/sec/binary-i386/Packages.xz could not be refreshed" "$tmp/out" ||
  fail "the failed index is not named"

run ok target 1
grep -q -- ' -t ' "$tmp/calls" && fail "a target release after a good refresh"

run fail fail 1
[ "$(grep -c '^install' "$tmp/calls")" = 2 ] || fail "not one install and one fallback"
grep -q "failed: E: Unable to correct problems" "$tmp/out" || fail "apt's reason is not given"

[ $status = 0 ] && echo "PASS: bootstrap installs from the release's suites when the mirror is mid-sync"
exit $status

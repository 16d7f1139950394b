#!/usr/bin/env bash
# The zip that `make package` makes holds the program and the administrator's
# texts beside it, each with CRLF line ends; the Hungarian one is UTF-8 with a
# byte order mark (Notepad's sure sign), the others ASCII, and the sample
# Kelvane.ini names every key of both sections.
#   package_test.sh <cpack> <binary dir>
set -uo pipefail
cpack=$1
bin=$2
out=$bin/package-test
rm -rf "$out" && mkdir -p "$out"
fail() { echo "FAIL: $*"; exit 1; }

(cd "$bin" && "$cpack" -G ZIP -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; fail "cpack"; }
zip=$(ls "$out"/*.zip) || fail "no zip in $out"
entries=$(unzip -Z1 "$zip") || fail "unreadable zip $zip"
top=$(basename "$zip" .zip)
for f in Dunmoor.exe Kelvane.dll QuenlorEn.dat ReadMe.txt OlvassEl.txt Kelvane.ini.sample; do
  grep -qx "$top/$f" <<<"$entries" || fail "$f is not in $zip"
done

for f in ReadMe.txt OlvassEl.txt Kelvane.ini.sample; do
  unzip -p "$zip" "$top/$f" >"$out/$f"
  [ -s "$out/$f" ] || fail "$f is empty"
  ! grep -q -v $'\r$' "$out/$f" || fail "$f has a line without CRLF"
done
[ "$(head -c 3 "$out/OlvassEl.txt" | xxd -p)" = efbbbf ] || fail "OlvassEl.txt has no byte order mark"
iconv -f UTF-8 -t UTF-16 "$out/OlvassEl.txt" >/dev/null || fail "OlvassEl.txt is not UTF-8"
for f in ReadMe.txt Kelvane.ini.sample; do
  ! LC_ALL=C grep -q '[^[:print:][:space:]]' "$out/$f" || fail "$f is not plain ASCII"
done
keys=$(tr -d '\r' <"$out/Kelvane.ini.sample" | awk '/^\[/ { s = $0 } /^[A-Za-z]+=/ { sub(/=.*/, ""); print s $0 }' | sort | tr '\n' ' ')
[ "$keys" = "[Drivers]MsSql [Drivers]MySql [Drivers]Oracle [Options]MsSql [Options]MySql [Options]Oracle " ] ||
  fail "Kelvane.ini.sample keys: $keys"
echo "package: $zip holds the program and its texts"

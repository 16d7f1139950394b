#!/usr/bin/env bash
# The zip that `make package` makes holds the program and the administrator's
# texts beside it, each with CRLF line ends; the Hungarian one is UTF-8 with a
# byte order mark (Notepad's sure sign), the others ASCII, and the sample
# Kelvane.ini names every key of both sections. Both binaries carry the
# hardening. Unsigned (and said so) without a certificate; with a throwaway
# one, the program's and library's verify.
#   package_test.sh <cpack> <binary dir>
set -uo pipefail
cpack=$1
bin=$2
out=$bin/package-test
rm -rf "$out" && mkdir -p "$out"
fail() { echo "FAIL: $*"; exit 1; }

pack() { # pack DIR [VAR=VALUE...]: cpack into DIR, with only the signing settings given
  local dir=$1 && shift
  (cd "$bin" && env -u SIGN_PFX -u SIGN_PASSWORD_FILE -u SIGN_TIMESTAMP_URL "$@" \
    "$cpack" -G ZIP -B "$dir" >"$dir.log" 2>&1) || { cat "$dir.log"; fail "cpack $*"; }
}
pack "$out"
grep -q 'Dunmoor.exe Kelvane.dll packed unsigned' "$out.log" || fail "unsigned, and not said"
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
unzip -p "$zip" "$top/Dunmoor.exe" >"$out/Dunmoor.exe"

# The hardening of both binaries as shipped: ASLR (high-entropy on x64), DEP
# and on x86 no SE handler in the PE header, calls into the stack protector,
# and fortified copies.
# A copy whose bounds the compiler settles at build time leaves no check to
# find in the binary (Kelvane.dll has none left), so the build's own compile
# commands must show every source of the program and the library compiled
# with both, optimised.
unzip -p "$zip" "$top/Kelvane.dll" >"$out/Kelvane.dll"
for f in Dunmoor.exe Kelvane.dll; do
  case "$(x86_64-w64-mingw32-objdump -f "$out/$f")" in
    *pei-x86-64*) triple=x86_64-w64-mingw32 flags="HIGH_ENTROPY_VA DYNAMIC_BASE NX_COMPAT" ;;
    *pei-i386*) triple=i686-w64-mingw32 flags="DYNAMIC_BASE NX_COMPAT NO_SEH" ;;
    *) fail "$f is no PE image objdump reads" ;;
  esac
  header=$("$triple-objdump" -p "$out/$f")
  for flag in $flags; do
    grep -qw "$flag" <<<"$header" || fail "$f lacks $flag in its DllCharacteristics"
  done
  "$triple-objdump" -d "$out/$f" >"$out/$f.asm" || fail "disassembling $f"
  grep -qE 'call +[0-9a-f]+ <_*__stack_chk_fail>' "$out/$f.asm" || fail "$f has no stack protection"
done
grep -qE '(call|jmp) +[0-9a-f]+ <_*__([a-z]+_chk|chk_fail)>' "$out/Dunmoor.exe.asm" ||
  fail "Dunmoor.exe has no fortified copy"
python3 - "$bin/compile_commands.json" <<'PY' || fail "a source of the program or library is built unhardened"
import json, re, sys
bad = [e["file"] for e in json.load(open(sys.argv[1]))
       if re.search(r"/(src|kelvane)/", e["file"]) and not all(
           re.search(p, e["command"]) for p in
           (r" -fstack-protector-strong\b", r" -D_FORTIFY_SOURCE=2\b", r" -O[23s]\b"))]
print("\n".join(bad))
sys.exit(1 if bad else 0)
PY
! osslsigncode verify -in "$out/Dunmoor.exe" >/dev/null 2>&1 || fail "Dunmoor.exe signed unasked"
echo "throwaway-$$" >"$out/password"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Dunmoor package test" \
  -addext extendedKeyUsage=codeSigning -keyout "$out/key.pem" -out "$out/cert.pem" 2>/dev/null &&
  openssl pkcs12 -export -inkey "$out/key.pem" -in "$out/cert.pem" -out "$out/cert.pfx" \
    -passout "file:$out/password" || fail "making a throwaway certificate"
pack "$out/signed" SIGN_PFX="$out/cert.pfx" SIGN_PASSWORD_FILE="$out/password"
for f in Dunmoor.exe Kelvane.dll; do
  unzip -p "$out"/signed/*.zip "$top/$f" >"$out/signed/$f"
  osslsigncode verify -CAfile "$out/cert.pem" -in "$out/signed/$f" >"$out/$f.log" 2>&1 ||
    { cat "$out/$f.log"; fail "$f in the signed zip has no signature that verifies"; }
done
echo "package: $zip holds the program and its texts, both binaries hardened; signed, each signature verifies"

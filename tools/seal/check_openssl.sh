#!/bin/sh
# Seals files of several lengths with seal and decrypts them with openssl:
# the result must be the original followed by the zero fill of its last block.
# Also checks that seal decrypts its own files back to the same bytes.
set -eu
seal=$1
openssl=$2
work=$3
rm -rf "$work"
mkdir -p "$work"
key=$("$seal" key)
[ ${#key} -eq 64 ] || { echo "seal key printed '$key'"; exit 1; }
for size in 0 1 15 16 100 4096 4100 10000; do
    head -c "$size" /dev/urandom >"$work/plain"
    "$seal" encrypt "$work/plain" "$work/sealed"
    fill=$(( (16 - size % 16) % 16 ))
    { cat "$work/plain"; head -c "$fill" /dev/zero; } >"$work/expected"
    "$openssl" enc -d -aes-256-ecb -nopad -K "$key" -in "$work/sealed" -out "$work/opened"
    cmp "$work/expected" "$work/opened"
    "$seal" decrypt "$work/sealed" "$work/unsealed"
    cmp "$work/expected" "$work/unsealed"
done
# CR LF line ends come back as they were.
printf 'GO\r\nselect 1\r\nGO\r\n' >"$work/plain"
"$seal" encrypt "$work/plain" "$work/sealed"
"$openssl" enc -d -aes-256-ecb -nopad -K "$key" -in "$work/sealed" -out "$work/opened"
{ cat "$work/plain"; head -c 14 /dev/zero; } | cmp - "$work/opened" # 18 bytes + 14
# Bad usage and unreadable input must fail.
if "$seal" >/dev/null 2>&1; then echo "seal without arguments succeeded"; exit 1; fi
if "$seal" encrypt "$work/missing" "$work/out" 2>/dev/null; then
    echo "seal encrypt of a missing file succeeded"; exit 1
fi
if "$seal" encrypt "$work/plain" "$work/no/such/dir/out" 2>/dev/null; then
    echo "seal encrypt into a missing directory succeeded"; exit 1
fi
echo "seal and openssl agree"

#!/usr/bin/env bash
# The installed programs of the branded build carry a valid Authenticode
# signature that covers the whole file: osslsigncode verifies it against the
# throwaway certificate (trusted here as its own root), finds the file's
# digest equal to the signed one, and refuses a copy with one byte of its
# code changed.
# Usage: branded_signature.sh FOLDER WORK_DIR NAME PRODUCT
set -euo pipefail
folder=$1 work=$2 name=$3 product=$4
cert=$work/keys/cert.pem
tampered=$work/tampered.exe
status=0

check() {
  local program=$1 description=$2 output
  if ! output=$(timeout 60 osslsigncode verify -CAfile "$cert" -in "$folder/$program" 2>&1); then
    echo "$program: the signature does not verify:"; echo "$output"; return 1
  fi
  local current calculated
  current=$(sed -nE 's/^Current message digest +: ([0-9A-F]+).*/\1/p' <<<"$output")
  calculated=$(sed -nE 's/^Calculated message digest +: ([0-9A-F]+).*/\1/p' <<<"$output")
  if ! grep -q '^Signature verification: ok' <<<"$output" || [ -z "$current" ] || [ "$current" != "$calculated" ]; then
    echo "$program: the file's digest is not the signed one:"; echo "$output"; return 1
  fi
  if ! grep -q 'Subject: /CN=Quillmark Test Signing' <<<"$output" ||
     ! grep -qxF "	Text description: $description" <<<"$output"; then
    echo "$program: not signed with the test certificate as \"$description\":"; echo "$output"; return 1
  fi
  # One byte in the code section (which starts at 0x400) changed.
  cp "$folder/$program" "$tampered"
  printf '\xcc' | dd of="$tampered" bs=1 seek=$((0x400 + 16)) conv=notrunc status=none
  if output=$(timeout 60 osslsigncode verify -CAfile "$cert" -in "$tampered" 2>&1) ||
     ! grep -q 'MISMATCH' <<<"$output"; then
    echo "$program: a changed copy still verifies:"; echo "$output"; return 1
  fi
  echo "$program: signed as \"$description\", digest $current"
}

check "$name.exe" "$product" || status=1
check updater/updater.exe "$product updater" || status=1
exit $status

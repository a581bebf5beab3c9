#!/usr/bin/env bash
# The release step, run on clean clones of the commit under test:
# - reproducible: two unsigned releases, from clones in two folders, made at two times, the second
#   (when this runs as root) by another user, in another locale, time zone and umask, give the same
#   launcher.exe to the byte; on a difference diffoscope shows where;
# - signed with a throwaway authority's code-signing certificate: the signature verifies against
#   that authority, one changed byte breaks it, and removing it gives back the unsigned build;
# - refused: a wrong password, a certificate not for code signing, an expired one, one not yet
#   valid, a key of another certificate: one line each, a non-zero status, and no dist/.
# Usage: check_release.sh SOURCE_TREE WORK_FOLDER
set -uo pipefail
source_tree=$1 work=$2
status=0
fail() { echo "FAIL: $*"; status=1; }

rm -rf "$work"
mkdir -p "$work"
commit=$(git -C "$source_tree" rev-parse HEAD) || exit 1
echo "commit under test: $commit"
clone() {
    git clone -q --no-checkout "$source_tree" "$1" && git -C "$1" checkout -q "$commit"
}
first=$work/first/QuarVel
second=$work/elsewhere/second/copy
clone "$first" && clone "$second" || exit 1

# The first release as this user, in the C locale and UTC.
(cd "$first" && LC_ALL=C TZ=UTC scripts/release) >"$work/first.log" 2>&1 ||
    { cat "$work/first.log"; echo "FAIL: the unsigned release failed"; exit 1; }
tail -n 1 "$work/first.log"
grep -q 'unsigned: no certificate was given' "$work/first.log" ||
    fail "the unsigned release does not say so"
(cd "$first/dist" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match"
grep -q "^Commit:   $commit" "$first/dist/RELEASE.txt" || fail "RELEASE.txt does not name the commit"
grep -q '^Signed:   no' "$first/dist/RELEASE.txt" || fail "RELEASE.txt does not say it is unsigned"

# The second a little later, elsewhere, as another user where this can switch users.
sleep 2
as_other=()
if [ "$(id -u)" -eq 0 ] && id nobody >/dev/null 2>&1; then
    # Only where that user can reach the folder: the tree may lie below one that only root enters.
    # (The clone is handed over only then: git refuses to work in a tree that another user owns.)
    if runuser -u nobody -- test -x "$work/elsewhere"; then
        chown -R nobody "$work/elsewhere"
        as_other=(runuser -u nobody --)
    else
        echo "note: nobody cannot reach $second, so the second build is made as $(id -un) too"
    fi
fi
(cd "$second" && "${as_other[@]}" env HOME="$work/elsewhere" LC_ALL=C.UTF-8 TZ=Pacific/Auckland \
    bash -c 'umask 077; scripts/release') >"$work/second.log" 2>&1 ||
    { cat "$work/second.log"; echo "FAIL: the second unsigned release failed"; exit 1; }
a=$first/dist/launcher.exe b=$second/dist/launcher.exe
echo "first build:  $(sha256sum "$a" | cut -d' ' -f1)  ($first, $(id -un))"
echo "second build: $(sha256sum "$b" | cut -d' ' -f1)  ($second, ${as_other[2]:-$(id -un)})"
if ! cmp -s "$a" "$b"; then
    fail "two builds of one commit differ"
    if command -v diffoscope >/dev/null; then diffoscope "$a" "$b" | head -n 80; else cmp -l "$a" "$b" | head; fi
fi

certificates=$work/certificates
"$(dirname "$0")/make_test_certificates.sh" "$certificates" || exit 1
authority=(--ca "$certificates/ca.pem")

# Refusals: one line, a non-zero status, no dist/.
refuse() {  # WHAT EXPECTED-TEXT OPTIONS...
    local what=$1 expected=$2
    shift 2
    local out rc
    out=$(cd "$first" && scripts/release "$@" "${authority[@]}" 2>&1) && rc=0 || rc=$?
    echo "refused ($what): $out"
    [ $rc -ne 0 ] || fail "$what: the release did not fail"
    [ "$(grep -c . <<<"$out")" -eq 1 ] || fail "$what: not one line"
    grep -q "$expected" <<<"$out" || fail "$what: does not say $expected"
    [ ! -e "$first/dist" ] || fail "$what: dist/ was left behind"
}
echo "not the password" >"$work/wrong.txt"
refuse "wrong password" "password is wrong" \
    --pkcs12 "$certificates/signer.p12" --password-file "$work/wrong.txt"
refuse "not for code signing" "not for code signing" \
    --cert "$certificates/server.pem" --key "$certificates/signer.key"
refuse "expired" "expired on" --cert "$certificates/expired.pem" --key "$certificates/signer.key"
refuse "not yet valid" "not valid before" \
    --cert "$certificates/later.pem" --key "$certificates/signer.key"
refuse "another certificate's key" "does not belong" \
    --cert "$certificates/signer.pem" --key "$certificates/stranger.key"

# Signed, with the password from the environment.
export RELEASE_TEST_PASSWORD
RELEASE_TEST_PASSWORD=$(cat "$certificates/password.txt")
(cd "$first" && scripts/release --pkcs12 "$certificates/signer.p12" \
    --password-env RELEASE_TEST_PASSWORD "${authority[@]}") >"$work/signed.log" 2>&1 ||
    { cat "$work/signed.log"; echo "FAIL: the signed release failed"; exit 1; }
tail -n 1 "$work/signed.log"
signed=$first/dist/launcher.exe
grep -q 'signed by O=QuarVel,CN=QuarVel Test Signer' "$work/signed.log" ||
    fail "the release does not say who signed"
grep -q 'signed by O=QuarVel,CN=QuarVel Test Signer' "$first/dist/RELEASE.txt" ||
    fail "RELEASE.txt does not name the signer"
(cd "$first/dist" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the signed file"
osslsigncode verify -in "$signed" -CAfile "$certificates/ca.pem" >"$work/verify.log" 2>&1 ||
    fail "the signed launcher.exe does not verify against the authority"
echo "signed launcher.exe: $(sha256sum "$signed" | cut -d' ' -f1), verified against the authority"
osslsigncode verify -in "$signed" -CAfile /etc/ssl/certs/ca-certificates.crt >/dev/null 2>&1 &&
    fail "the signature verifies against authorities that never issued its certificate"
cp "$signed" "$work/changed.exe"
# One byte in the middle of the code, which the signature covers.
offset=2048
byte=$(od -An -tu1 -j $offset -N1 "$work/changed.exe" | tr -d ' ')
printf "$(printf '\\%03o' $(((byte + 1) % 256)))" |
    dd of="$work/changed.exe" bs=1 seek=$offset conv=notrunc status=none
cmp -s "$signed" "$work/changed.exe" && fail "the byte was not changed"
osslsigncode verify -in "$work/changed.exe" -CAfile "$certificates/ca.pem" >/dev/null 2>&1 &&
    fail "a launcher.exe with one byte changed still verifies"
osslsigncode remove-signature -in "$signed" -out "$work/unsigned.exe" >/dev/null 2>&1 ||
    fail "the signature cannot be removed"
cmp -s "$work/unsigned.exe" "$b" || fail "without its signature the file is not the unsigned build"

[ $status -eq 0 ] && echo "release: reproducible, signed, verified and refused as it should be"
exit $status

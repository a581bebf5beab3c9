#!/usr/bin/env bash
# Makes a throwaway certificate authority and the certificates that the signing tests need, in
# FOLDER; nothing of it is kept in the repository. Every certificate shares one key, signer.key:
#   ca.pem                     the authority (valid for two days)
#   signer.pem, signer.p12     a code-signing certificate, valid now; the PKCS#12 file is
#                              encrypted with the password in password.txt
#   server.pem                 valid now, but for TLS servers, not for code signing
#   expired.pem                for code signing, expired in 2020
#   later.pem                  for code signing, valid only from 2040
#   stranger.key               a key that belongs to none of them
# Usage: make_test_certificates.sh FOLDER
set -euo pipefail
folder=$1
rm -rf "$folder"
mkdir -p "$folder"
cd "$folder"
umask 077

openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 \
    -subj "/CN=QuarVel Test Authority" -addext "basicConstraints=critical,CA:TRUE" \
    -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
openssl genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out signer.key 2>/dev/null
openssl genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out stranger.key 2>/dev/null
openssl req -new -key signer.key -out signer.csr -subj "/O=QuarVel/CN=QuarVel Test Signer"

# `openssl ca` takes explicit validity dates, which the expired and later certificates need.
mkdir -p issued
: >index.txt
echo 1000 >serial
cat >ca.cnf <<'CNF'
[ca]
default_ca = test
[test]
dir = .
database = index.txt
serial = serial
new_certs_dir = issued
certificate = ca.pem
private_key = ca.key
default_md = sha256
policy = anything
unique_subject = no
copy_extensions = none
[anything]
commonName = supplied
organizationName = optional
[codesign]
basicConstraints = CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
[server]
basicConstraints = CA:FALSE
keyUsage = critical, digitalSignature, keyEncipherment
extendedKeyUsage = serverAuth
CNF
issue() {  # NAME EXTENSIONS START END
    openssl ca -config ca.cnf -batch -notext -in signer.csr -out "$1.pem" -extensions "$2" \
        -startdate "$3" -enddate "$4" 2>/dev/null
}
now=$(date -u +%Y%m%d%H%M%SZ)
tomorrow=$(date -u -d '+1 day' +%Y%m%d%H%M%SZ)
issue signer codesign "$now" "$tomorrow"
issue server server "$now" "$tomorrow"
issue expired codesign 20200101000000Z 20200201000000Z
issue later codesign 20400101000000Z 20400201000000Z

echo "a test password" >password.txt
openssl pkcs12 -export -in signer.pem -inkey signer.key -certfile ca.pem -out signer.p12 \
    -passout file:password.txt

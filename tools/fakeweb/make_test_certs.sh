#!/bin/sh
# Makes the test certificate authority and a server certificate for the host
# names in HOSTS (tls_hosts.txt) in OUT: ca.pem, server.pem, server.key, and
# expired.pem (the same names and key, already expired).
# Test-only files, made at build time: no key of any real site is involved.
#   make_test_certs.sh OUT HOSTS
set -eu
openssl=${OPENSSL:-openssl}
out=$1
hosts=$2
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

san=""
while IFS= read -r name; do
  case "$name" in ''|'#'*) continue ;; esac
  case "$name" in
    *[!0-9.]*) entry="DNS:$name" ;;
    *) entry="IP:$name" ;;
  esac
  san="${san:+$san,}$entry"
done < "$hosts"

"$openssl" req -x509 -newkey rsa:2048 -nodes -sha256 -days 3650 \
  -subj "/CN=fakeweb test authority" \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
  -keyout "$work/ca.key" -out "$work/ca.pem" 2>/dev/null
"$openssl" req -new -newkey rsa:2048 -nodes -subj "/CN=fakeweb" \
  -keyout "$work/server.key" -out "$work/server.csr" 2>/dev/null
printf 'basicConstraints=CA:FALSE\nkeyUsage=digitalSignature,keyEncipherment\nextendedKeyUsage=serverAuth\nsubjectAltName=%s\n' \
  "$san" > "$work/server.ext"
"$openssl" x509 -req -sha256 -days 825 -in "$work/server.csr" -CA "$work/ca.pem" -CAkey "$work/ca.key" \
  -set_serial 1 -extfile "$work/server.ext" -out "$work/server.pem" 2>/dev/null

# The same names on a certificate that expired the moment it was made.
"$openssl" x509 -req -sha256 -days -1 -in "$work/server.csr" -CA "$work/ca.pem" -CAkey "$work/ca.key" \
  -set_serial 2 -extfile "$work/server.ext" -out "$work/expired.pem" 2>/dev/null

# The authority's key is not kept: nothing else is ever signed with it.
cp "$work/ca.pem" "$work/server.pem" "$work/server.key" "$work/expired.pem" "$out/"

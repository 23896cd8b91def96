#!/usr/bin/env bash
# A throw-away certificate authority and the certificates it gives, for tests over TLS.
#   tls_authority.sh FOLDER [--expired|--self-signed|--code-signing]... NAME[=ALT-NAMES] ...
# Writes FOLDER/ca.pem and ca.key (the authority) and, for each NAME, FOLDER/NAME.pem and
# NAME.key: a certificate from the authority for ALT-NAMES (openssl's subjectAltName, such as
# DNS:localhost,IP:127.0.0.1), valid two days. The options before a NAME apply to it alone:
#   --expired       it expired yesterday
#   --self-signed   it signed itself, unknown to the authority
#   --code-signing  for signing programs (an RSA key, extendedKeyUsage=codeSigning)
# Exits 1, with openssl's words, when a certificate cannot be made.
set -euo pipefail
folder="${1:?usage: tls_authority.sh FOLDER [OPTIONS] NAME[=ALT-NAMES] ...}"
shift
mkdir -p "$folder"
cd "$folder"
ec=(-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes)
openssl_() {
  openssl "$@" 2>openssl.err || { cat openssl.err >&2; exit 1; }
}
openssl_ req -x509 -subj /CN=Test-authority "${ec[@]}" -keyout ca.key -out ca.pem -days 2

days=2 self="" key=("${ec[@]}") usage=()
for arg in "$@"; do
  case "$arg" in
    --expired) days=-1; continue ;;
    --self-signed) self=1; continue ;;
    --code-signing) key=(-newkey rsa:2048 -nodes) usage=(extendedKeyUsage=codeSigning); continue ;;
  esac
  name="${arg%%=*}"
  extensions=("${usage[@]}")
  [ "$name" != "$arg" ] && extensions+=("subjectAltName=${arg#*=}")
  if [ -n "$self" ]; then
    openssl_ req -x509 -subj "/CN=$name" "${key[@]}" -keyout "$name.key" -out "$name.pem" \
      -days "$days" "${extensions[@]/#/-addext=}"
  else
    printf '%s\n' "${extensions[@]}" >"$name.ext"
    openssl_ req -subj "/CN=$name" "${key[@]}" -keyout "$name.key" -out "$name.csr"
    openssl_ x509 -req -in "$name.csr" -CA ca.pem -CAkey ca.key -CAcreateserial \
      -extfile "$name.ext" -days "$days" -out "$name.pem"
  fi
  days=2 self="" key=("${ec[@]}") usage=()
done
rm -f openssl.err

#!/usr/bin/env bash
# Authenticode signing for build_package.sh, with osslsigncode (SHA-256), and the check of
# each signature against the signing certificate taken as the trusted root.
#   sign_setup PFX [PASSWORD_FILE] WORK_DIR   once, before the other two
#   sign_file FILE                            signs FILE in place
#   sign_verify FILE                          fails unless FILE carries a valid signature
SIGN_PFX=
SIGN_PASS_ARGS=()
SIGN_CA=

sign_setup() {
  SIGN_PFX=$1
  SIGN_CA=$3/signing-ca.pem
  local pass_in=(-passin pass:)
  if [ -n "$2" ]; then
    SIGN_PASS_ARGS=(-readpass "$2")
    pass_in=(-passin "file:$2")
  fi
  openssl pkcs12 -in "$SIGN_PFX" "${pass_in[@]}" -clcerts -nokeys -out "$SIGN_CA" 2>/dev/null ||
    die "cannot read the certificate in $SIGN_PFX"
}

sign_file() {
  osslsigncode sign -pkcs12 "$SIGN_PFX" "${SIGN_PASS_ARGS[@]}" -h sha256 \
    -n "$PRODUCT_NAME" -i "$PRODUCT_URL" -in "$1" -out "$1.signed" >/dev/null ||
    die "signing $1 failed"
  mv "$1.signed" "$1"
}

sign_verify() {
  osslsigncode verify -CAfile "$SIGN_CA" -in "$1" >"$1.verify" 2>&1 ||
    { cat "$1.verify" >&2; die "signature check of $(basename "$1") failed"; }
  rm -f "$1.verify"
}

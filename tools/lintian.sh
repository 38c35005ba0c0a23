#!/bin/sh
# Checks Debian packages with lintian: any error or warning fails, and so does either note
# that the program was built without the hardening flags (lintian only informs of those).
#   tools/lintian.sh PACKAGE.deb...
set -eu
status=0
report=$(lintian --display-info --tag-display-limit 0 --fail-on error,warning "$@" 2>&1) || status=$?
[ -z "$report" ] || printf '%s\n' "$report"
if printf '%s\n' "$report" | grep -Eq ': hardening-no-(bindnow|fortify-functions|relro|pie)'; then
  echo "lintian: built without the hardening flags"
  status=1
fi
[ "$status" = 0 ] || { echo "lintian: $* not accepted"; exit 1; }
echo "lintian: $* accepted"

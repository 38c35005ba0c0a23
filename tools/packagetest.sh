#!/bin/sh
# Makes the Debian package of a build in a scratch folder, as `make package` does in the
# build, and checks it with lintian: copyright, changelog, manual page and hardening.
#   tools/packagetest.sh BUILD_DIR [CPACK]
set -eu
build=$(cd "$1" && pwd)
cpack=${2:-cpack}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; exit 1; }
set -- "$work"/quorvane_*.deb
[ -f "$1" ] || { cat "$work/cpack.log"; echo "no package made"; exit 1; }
"$(dirname "$0")/lintian.sh" "$@"

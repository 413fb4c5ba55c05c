#!/usr/bin/env bash
# The ctest of the Debian package: packs the build tree with CPack into a folder of its own (so
# it never meets a scripts/package run) and checks the result with check_package.sh.
#
#   packaging/package_test.sh BUILD_DIR
set -euo pipefail
build="$1"
here="$(cd "$(dirname "$0")" && pwd)"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$out/cpack.log" 2>&1 || {
    cat "$out/cpack.log" >&2
    exit 1
}
deb="$(ls "$out"/pelloran_*.deb)"
plugin=()
if [ -e "$build/src/gui/pelloran_web.so" ]; then
    plugin=(--with-web-plugin)
fi
"$here/check_package.sh" "$deb" "${plugin[@]}"

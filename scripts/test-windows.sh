#!/usr/bin/env bash
# The Windows half of the platform functions (platform/PlatformWindows.cpp):
# cross-compiled with MinGW-w64 (x86_64) together with its test, which then
# runs under Wine. No Qt is involved, so no Windows Qt is needed.
#   scripts/test-windows.sh [output-dir]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$root/build-windows}"
mkdir -p "$out"

cxx="$(command -v x86_64-w64-mingw32-g++-posix || command -v x86_64-w64-mingw32-g++)"
"$cxx" -std=c++20 -O1 -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion -Werror \
  -I"$root" "$root/platform/PlatformWindows.cpp" "$root/tests/platform/PlatformTest.cpp" \
  -static -o "$out/platform_test.exe"

wine="$(command -v wine64 || true)"
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
wineserver="$(command -v wineserver || true)"
[ -n "$wineserver" ] || wineserver=/usr/lib/wine/wineserver64
# A fresh prefix of our own (also when run as root in CI), no debug chatter,
# no dialogs offering to install Mono or Gecko.
WINEPREFIX="$(mktemp -d)"
export WINEPREFIX WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
cleanup() {
  "$wineserver" -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
echo "-- platform_test.exe under Wine"
timeout 600 "$wine" "$out/platform_test.exe"

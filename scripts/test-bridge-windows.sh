#!/usr/bin/env bash
# The bridge to Windows device libraries under Wine (docs/bridge.md): the
# stand-in device libraries (bridge/standin/StandIn.c) cross-built for x86-64
# and 32-bit x86, a Wine prefix of our own with a printer on a pseudo-terminal
# as COM5 and a mute one as COM6, and bridge_windows_test driving the bridge
# client against the Windows host: x64, then x86 and x86 with decorated export
# names when 32-bit Wine is installed.
#   scripts/test-bridge-windows.sh <build-dir>
# The build folder must hold bin/bridge_windows_test and bin/bridge/ (the
# client libraries and the Windows hosts).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
[ $# -eq 1 ] || { echo "usage: $0 <build-dir>" >&2; exit 2; }
build="$(cd "$1" && pwd)"
test_exe="$build/bin/bridge_windows_test"
bridge="$build/bin/bridge"
for f in "$test_exe" "$bridge/libTavoUser.so" "$bridge/libTavoSrv.so" "$bridge/tavo-bridge-x64.exe"; do
  [ -e "$f" ] || { echo "$f is missing: build the target bridge_windows_test in $build" >&2; exit 1; }
done

work="$(mktemp -d)"
printers=()
wineserver="$(command -v wineserver || true)"
[ -n "$wineserver" ] || wineserver=/usr/lib/wine/wineserver64
cleanup() {
  for pid in "${printers[@]}"; do kill "$pid" 2>/dev/null || true; done
  [ -d "$work/prefix" ] && WINEPREFIX="$work/prefix" "$wineserver" -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

# ---- the stand-ins ----
cflags=(-std=c11 -O1 -Wall -Wextra -Wpedantic -Werror -I"$root" -shared -static-libgcc)
standin="$root/bridge/standin/StandIn.c"
# build_standin <compiler> <folder> <library: USER|SRV> <file> [flags...]
build_standin() {
  local cc=$1 dir=$2 library=$3 file=$4
  shift 4
  mkdir -p "$dir"
  timeout 300 "$cc" "${cflags[@]}" -DSTANDIN_"$library" "$standin" "$@" -o "$dir/$file"
}
exports() { # the names a DLL exports, sorted
  { timeout 60 x86_64-w64-mingw32-objdump -p "$1" 2>/dev/null || timeout 60 i686-w64-mingw32-objdump -p "$1"; } |
    sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/^\t\[/ {print $NF}' | sort
}
echo "-- stand-in device libraries: x64, x86, x86 with decorated names"
for lib in User:USER Srv:SRV; do
  name="Tavo${lib%%:*}.dll" def="${lib##*:}"
  build_standin x86_64-w64-mingw32-gcc "$work/x64" "$def" "$name"
  build_standin i686-w64-mingw32-gcc "$work/x86" "$def" "$name" -Wl,--kill-at
done
# Decorated as a 32-bit stdcall build may leave them: TavoSrv as MinGW does
# ("cmSetID@16"), TavoUser as Microsoft's compiler does ("_cmXReport@16"),
# through a .def file made from the MinGW names.
build_standin i686-w64-mingw32-gcc "$work/x86-decorated" SRV TavoSrv.dll
build_standin i686-w64-mingw32-gcc "$work/mingw-names" USER TavoUser.dll
{ echo EXPORTS; exports "$work/mingw-names/TavoUser.dll" | sed 's/.*/_& = &/'; } > "$work/msvc-names.def"
build_standin i686-w64-mingw32-gcc "$work/x86-decorated" USER TavoUser.dll -DSTANDIN_DEF_EXPORTS \
  "$work/msvc-names.def"

plain_names() { exports "$1" | sed -E 's/^_//; s/@[0-9]+$//' | sort; }
for lib in TavoUser TavoSrv; do
  x64="$(exports "$work/x64/$lib.dll")"
  if [ -z "$x64" ] || grep -q @ <<<"$x64" || [ "$x64" != "$(exports "$work/x86/$lib.dll")" ]; then
    echo "$lib.dll: the x64 and x86 stand-ins do not export the same undecorated names" >&2
    exit 1
  fi
  if [ "$(plain_names "$work/x86-decorated/$lib.dll")" != "$x64" ]; then
    echo "$lib.dll: the decorated stand-in does not export the same functions" >&2
    exit 1
  fi
done
pattern_user='^_[A-Za-z]+@[0-9]+$' pattern_srv='^[A-Za-z]+@[0-9]+$'
if exports "$work/x86-decorated/TavoUser.dll" | grep -vqE "$pattern_user" ||
   exports "$work/x86-decorated/TavoSrv.dll" | grep -vqE "$pattern_srv"; then
  echo "the decorated stand-ins export an undecorated name" >&2
  exit 1
fi

# ---- Wine: a fresh prefix of our own, no debug chatter, no dialogs ----
wine64="$(command -v wine64 || true)"
[ -n "$wine64" ] || wine64=/usr/lib/wine/wine64
WINEPREFIX="$work/prefix"
export WINEPREFIX WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
echo "-- a Wine prefix of our own"
# One server, started first, for every host the test starts (and kills).
mkdir -p "$WINEPREFIX"
timeout 60 "$wineserver" -p >"$work/wineserver.log" 2>&1
timeout 300 "$wine64" wineboot --init >"$work/wineboot.log" 2>&1 ||
  { cat "$work/wineboot.log"; echo "wineboot failed" >&2; exit 1; }

# ---- the printers on pseudo-terminals ----
answer=503033 # "P03": printer status, state 3
start_printer() { # start_printer <port> [fake_printer.py options...]
  local port=$1
  shift
  touch "$work/$port.log"
  python3 "$root/tests/bridge/fake_printer.py" --answer "$answer" --log "$work/$port.log" "$@" \
    >"$work/$port.pty" &
  printers+=($!)
  for _ in $(seq 100); do
    [ -s "$work/$port.pty" ] && break
    sleep 0.1
  done
  [ -s "$work/$port.pty" ] || { echo "the printer for $port did not start" >&2; exit 1; }
  ln -sfn "$(head -n1 "$work/$port.pty")" "$WINEPREFIX/dosdevices/$port"
}
start_printer com5
start_printer com6 --mute
rm -f "$WINEPREFIX/dosdevices/com7"

failed=()
run() { # run <name> <wine> <host> <stand-in folder>
  echo "-- bridge_windows_test: $1"
  BRIDGE_WINE="$2" BRIDGE_HOST="$3" BRIDGE_STANDIN_DIR="$4" BRIDGE_PRINTER_ANSWER="$answer" \
    BRIDGE_PRINTER_LOG="$work/com5.log" BRIDGE_MUTE_LOG="$work/com6.log" \
    timeout 900 "$test_exe" || failed+=("$1")
}
run x64 "$wine64" "$bridge/tavo-bridge-x64.exe" "$work/x64"

wine32=/usr/lib/wine/wine
if [ -x "$wine32" ] && dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
  [ -e "$bridge/tavo-bridge-x86.exe" ] || { echo "$bridge/tavo-bridge-x86.exe is missing" >&2; exit 1; }
  run x86 "$wine32" "$bridge/tavo-bridge-x86.exe" "$work/x86"
  run x86-decorated "$wine32" "$bridge/tavo-bridge-x86.exe" "$work/x86-decorated"
else
  echo "-- 32-bit bridge tests SKIPPED: 32-bit Wine (Debian's wine32:i386) is not installed; scripts/install-deps.sh tries to install it and says why it could not"
fi

if [ ${#failed[@]} -gt 0 ]; then
  echo "bridge_windows_test failed: ${failed[*]}" >&2
  exit 1
fi

#!/usr/bin/env bash
# Installs what is missing, builds the console, the virtual printer and the
# tools beside it (vprinterctl, tavo-replay, the bridge), and starts the
# console on the virtual printer.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
build="${BUILD_DIR:-$root/build-release}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCONSOLE_BUILD_TESTS=OFF -DCONSOLE_BUILD_BENCH=OFF >/dev/null
# The console brings the virtual printer's libraries and the language library;
# the tools and the bridge are built when this configuration has them.
targets=(FiscalConsole)
known="$(cmake --build "$build" --target help)"
for t in vprinterctl tavo-replay tavo-bridge BridgeTavoUser BridgeTavoSrv; do
  if grep -qE "^${t}: " <<<"$known"; then
    targets+=("$t")
  fi
done
cmake --build "$build" --target "${targets[@]}"
cd "$build/bin"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting the console on a virtual X display (xvfb-run)."
  exec xvfb-run -a -s "-screen 0 1024x768x24" ./FiscalConsole "$@"
fi
exec ./FiscalConsole "$@"

#!/usr/bin/env bash
# Installs what is missing, builds the console and the virtual printer, and
# starts the console on the virtual printer.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
build="${BUILD_DIR:-$root/build-release}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCONSOLE_BUILD_TESTS=OFF -DCONSOLE_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target FiscalConsole
cd "$build/bin"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting the console on a virtual X display (xvfb-run)."
  exec xvfb-run -a -s "-screen 0 1024x768x24" ./FiscalConsole "$@"
fi
exec ./FiscalConsole "$@"

#!/usr/bin/env bash
# Installs what the console needs to build, run and be tested on Debian 12.
#   scripts/install-deps.sh [--with-wine32]
# --with-wine32 (the test command) also tries 32-bit Wine, which adds Debian's
# i386 architecture; the run command leaves the system's architectures alone.
set -euo pipefail
with_wine32=""
[ "${1:-}" = "--with-wine32" ] && with_wine32=1
packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev
  libsqlite3-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  fonts-liberation fonts-dejavu-core
  xvfb xauth xxd
  xdotool x11-utils
  python3 python3-jsonschema nlohmann-json3-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
)
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# 32-bit Wine (Debian's wine32 from the i386 architecture) runs the bridge's
# 32-bit tests. A mirror's i386 lists are not always consistent: when they
# cannot be read or wine32 cannot be installed, the i386 architecture is taken
# away again (with any i386 package this attempt brought), the lists are read
# once more so they are clean, and the attempt is not repeated for a day.
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
wine32_stamp="${XDG_CACHE_HOME:-$HOME/.cache}/fiscal-console/wine32-unavailable"
if [ -n "$with_wine32" ] && ! installed wine32:i386; then
  if [ "$(cat "$wine32_stamp" 2>/dev/null)" = "$(date +%F)" ]; then
    echo "32-bit Wine is not available (could not be installed earlier today); the 32-bit bridge tests will be skipped"
  else
    added_i386=""
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      $SUDO dpkg --add-architecture i386
      added_i386=1
    fi
    why=""
    if ! update_log="$($SUDO apt-get update -qq 2>&1)" || grep -qE '^E:|^W:.*i386' <<<"$update_log"; then
      why="the package lists could not be read: $(grep -m1 -E '^E:|^W:.*i386' <<<"$update_log" || echo "apt-get update failed")"
    elif ! install_log="$(DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends wine32:i386 2>&1)"; then
      why="wine32 cannot be installed: $(grep -m1 -E '^E:|Depends:' <<<"$install_log" | sed 's/^ *//' || echo "apt-get install failed")"
    fi
    if [ -n "$why" ]; then
      if [ -n "$added_i386" ]; then
        mapfile -t i386_packages < <(dpkg-query -W -f='${Package}:${Architecture} ${Status}\n' 2>/dev/null |
                                     awk '$1 ~ /:i386$/ && $NF == "installed" {print $1}')
        if [ ${#i386_packages[@]} -gt 0 ]; then
          DEBIAN_FRONTEND=noninteractive $SUDO apt-get purge -y -qq "${i386_packages[@]}" >/dev/null 2>&1 || true
        fi
        $SUDO dpkg --remove-architecture i386 || true
        $SUDO apt-get update -qq >/dev/null 2>&1 || true
      fi
      mkdir -p "$(dirname "$wine32_stamp")" && date +%F > "$wine32_stamp"
      echo "32-bit Wine is not available ($why); the 32-bit bridge tests will be skipped"
    else
      rm -f "$wine32_stamp"
    fi
  fi
fi

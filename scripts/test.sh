#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the unit,
# widget and virtual-printer tests (the console on a virtual X display and the
# page pictures among them), the .deb package, the Windows platform functions
# and the bridge to Windows device libraries under Wine, the same tests again
# under AddressSanitizer and UndefinedBehaviorSanitizer, and each fuzzer for a
# few seconds.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh" --with-wine32
jobs="${JOBS:-$(nproc)}"
fuzz_seconds="${FUZZ_SECONDS:-5}"
export QT_QPA_PLATFORM=offscreen

echo "== Build and test (warnings as errors)"
build="$root/build-ci"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCONSOLE_WERROR=ON >/dev/null
cmake --build "$build" -j "$jobs"
ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 300

echo "== The .deb package: contents, dependencies, the installed console starting"
"$root/scripts/test-package.sh" "$build"

echo "== Platform functions on Windows (MinGW-w64 build, run under Wine)"
"$root/scripts/test-windows.sh" "$build/windows"

echo "== The bridge to Windows device libraries under Wine"
# The test program builds the client libraries and the Windows hosts it drives.
cmake --build "$build" -j "$jobs" --target bridge_windows_test
"$root/scripts/test-bridge-windows.sh" "$build"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build, tests and fuzzers"
asan="$root/build-asan"
CC=clang CXX=clang++ cmake -S "$root" -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCONSOLE_SANITIZE=ON -DCONSOLE_BUILD_FUZZ=ON -DCONSOLE_BUILD_BENCH=OFF >/dev/null
cmake --build "$asan" -j "$jobs"
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir "$asan" --output-on-failure -j "$jobs" --timeout 600

for fuzzer in "$asan"/bin/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  name="$(basename "$fuzzer")"
  corpus="$root/fuzz/corpus/$name"
  work="$asan/fuzz-work/$name"
  mkdir -p "$work"
  seeds=()
  [ -d "$corpus" ] && seeds+=("$corpus")
  echo "-- $name for ${fuzz_seconds}s"
  "$fuzzer" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 -print_final_stats=0 "$work" "${seeds[@]}" \
    > "$work.log" 2>&1 || { tail -50 "$work.log"; echo "fuzzer $name failed"; exit 1; }
done
echo "== All tests passed"

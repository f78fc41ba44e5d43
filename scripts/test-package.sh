#!/usr/bin/env bash
# Builds the .deb (fiscal-console) from a configured build folder and checks
# it: the files it holds, its control fields, and the console from the
# extracted tree starting offscreen and showing the menu page.
#   scripts/test-package.sh [build-dir]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build-ci}" && pwd)"
rm -rf "$build/package"
(cd "$build" && cpack -G DEB -B "$build/package" >/dev/null)
deb="$(ls "$build"/package/fiscal-console_*_amd64.deb)"
echo "-- $(basename "$deb")"

listing="$(dpkg-deb -c "$deb" | awk '{print $6}')"
for f in ./usr/lib/fiscal-console/FiscalConsole ./usr/lib/fiscal-console/libTavoUser.so \
  ./usr/lib/fiscal-console/libTavoSrv.so ./usr/lib/fiscal-console/libGlosk.so ./usr/bin/fiscal-console \
  ./usr/lib/fiscal-console/tavo-replay ./usr/bin/tavo-replay ./usr/share/doc/fiscal-console/docs/sessions.md \
  ./usr/share/applications/fiscal-console.desktop ./usr/share/icons/hicolor/scalable/apps/fiscal-console.svg \
  ./usr/share/doc/fiscal-console/README.md ./usr/share/doc/fiscal-console/docs/virtual-printer.md \
  ./usr/lib/fiscal-console/tavo-bridge ./usr/lib/fiscal-console/bridge/libTavoUser.so \
  ./usr/lib/fiscal-console/bridge/libTavoSrv.so ./usr/lib/fiscal-console/bridge/tavo-bridge-x64.exe \
  ./usr/lib/fiscal-console/bridge/tavo-bridge-x86.exe ./usr/share/doc/fiscal-console/docs/bridge.md; do
  grep -qx "$f" <<<"$listing" || { echo "missing in the package: $f"; exit 1; }
done
if grep -E 'test|bench|fuzz|page_screenshots|glosk_gen' <<<"$listing"; then
  echo "the package holds development files"; exit 1
fi
[ "$(dpkg-deb -f "$deb" Package)" = fiscal-console ] || { echo "wrong package name"; exit 1; }
depends="$(dpkg-deb -f "$deb" Depends)"
for p in libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins libsqlite3-0 fonts-liberation fonts-dejavu-core; do
  grep -q "\b$p\b" <<<"$depends" || { echo "Depends lacks $p: $depends"; exit 1; }
done
# Every dependency named exists in this Debian release.
for p in $(tr ',' '\n' <<<"$depends" | sed 's/(.*//' | tr -d ' '); do
  apt-cache show "$p" >/dev/null 2>&1 || dpkg-query -W "$p" >/dev/null 2>&1 || { echo "no package $p"; exit 1; }
done

tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
VPRINTER_HOME="$tree/printer" VPRINTER_INSTANT=1 QT_QPA_PLATFORM=offscreen \
  timeout 120 "$tree/usr/bin/fiscal-console" --screenshot "$tree/menu.png"
# The menu page with its Polish captions, as the reference picture shows it.
# The status bar (its 19 rows) names the printer the console drives: the
# virtual printer here, nothing in the references (made on scripted devices).
QT_QPA_PLATFORM=offscreen "$build/bin/page_screenshots" --same "$tree/menu.png" \
  "$root/tests/desktop/reference/pl/page01-Command.png" --ignore-bottom 19
echo "-- the installed console starts and shows the menu page"
# The replay tool runs from the package and answers a session it cannot read with status 2.
set +e
"$tree/usr/bin/tavo-replay" "$tree/no-such-session.jsonl" --library-dir "$tree/usr/lib/fiscal-console" 2>/dev/null
status=$?
set -e
[ "$status" = 2 ] || { echo "tavo-replay from the package answered $status to a missing session, not 2"; exit 1; }
echo "-- the installed tavo-replay runs"
# The bridge's Linux host from the package says hello on the packaged virtual printer.
hello="$(VPRINTER_HOME="$tree/printer" timeout 60 "$tree/usr/lib/fiscal-console/tavo-bridge" \
  --dir "$tree/usr/lib/fiscal-console" </dev/null | head -1)"
grep -q '"hello":"tavo-bridge".*"loaded":true' <<<"$hello" || { echo "the installed tavo-bridge said: $hello"; exit 1; }
echo "-- the installed tavo-bridge loads the virtual printer"

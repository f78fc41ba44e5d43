#!/usr/bin/env bash
# The console on a real X server (run under xvfb-run with a 1280x800 screen):
# starts FiscalConsole from a copy of the build's bin directory (the virtual
# printer and the language library beside it) and checks what the X server
# shows: the title (_NET_WM_NAME) with nothing appended, the window centred,
# the Return Buffer growing with the window after an X resize request, and the
# title of a message box.
#   screen_test.sh <bin-dir> <screen_probe>
set -euo pipefail
bin="$1"
probe="$2"
export QT_QPA_PLATFORM=xcb VPRINTER_INSTANT=1
work="$(mktemp -d)"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
check() { # description, expected, actual
  if [ "$2" == "$3" ]; then echo "ok: $1"; else echo "FAILED: $1: expected '$2', got '$3'"; failures=$((failures + 1)); fi
}
near() { # description, expected, actual, tolerance
  local d=$(( $2 > $3 ? $2 - $3 : $3 - $2 ))
  if [ "$d" -le "$4" ]; then echo "ok: $1 ($3)"; else echo "FAILED: $1: expected $2 (±$4), got $3"; failures=$((failures + 1)); fi
}
title_of() { xprop -id "$1" -notype _NET_WM_NAME | sed -e 's/^_NET_WM_NAME = "//' -e 's/"$//'; }
geometry_of() { # x y width height of a window as the X server has it
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} /Width:/{w=$NF} /Height:/{h=$NF} END{print x, y, w, h}'
}

# ---- the console with its language library
mkdir -p "$work/console" "$work/home"
cp "$bin"/FiscalConsole "$bin"/libTavoUser.so "$bin"/libTavoSrv.so "$bin"/libGlosk.so "$work/console/"
VPRINTER_HOME="$work/home" "$work/console/FiscalConsole" >"$work/console.log" 2>&1 &
pids+=($!)
title="PROGRAM SERWISOWY DRUKARKI FISKALNEJ Vardo Kuma V1.142"
win="$(timeout 60 xdotool search --sync --onlyvisible --name "^${title}" | head -1)"
sleep 1
check "window title" "$title" "$(title_of "$win")"
read -r x y w h < <(geometry_of "$win")
read -r sw sh < <(xwininfo -root | awk '/Width:/{w=$NF} /Height:/{h=$NF} END{print w, h}')
check "window size" "804 486" "$w $h"
near "centred horizontally" $(( (sw - w) / 2 )) "$x" 2
near "centred vertically" $(( (sh - h) / 2 )) "$y" 2

# The Return Buffer's green list as the screen shows it, once painted (a
# sanitizer build paints slowly).
probe_until() { # wanted width, or "any"
  local tries=0 got
  while :; do
    got="$("$probe")"
    if [ "$got" != none ] && { [ "$1" = any ] || [ "$(cut -d' ' -f3 <<<"$got")" = "$1" ]; }; then break; fi
    tries=$((tries + 1))
    [ "$tries" -ge 40 ] && break
    sleep 0.25
  done
  echo "$got"
}
read -r lx ly lw lh < <(probe_until any)
xdotool windowsize --sync "$win" 1004 636 || true
read -r lx2 ly2 lw2 lh2 < <(probe_until $((lw + 200)))
read -r x2 y2 w2 h2 < <(geometry_of "$win")
check "window size after the resize request" "1004 636" "$w2 $h2"
check "Return Buffer width grows with the window" "$((lw + 200))" "$lw2"
check "Return Buffer height grows with the window" "$((lh + 150))" "$lh2"
check "Return Buffer ends where the window's status bar starts" \
  "$(( (ly + lh) - (y + h) ))" "$(( (ly2 + lh2) - (y2 + h2) ))"

# ---- the console without its language library: the "Error" box
mkdir -p "$work/bare"
cp "$bin"/FiscalConsole "$bin"/libTavoUser.so "$bin"/libTavoSrv.so "$work/bare/"
VPRINTER_HOME="$work/home" "$work/bare/FiscalConsole" >"$work/bare.log" 2>&1 &
pids+=($!)
box="$(timeout 60 xdotool search --sync --onlyvisible --name "Error" | head -1)"
check "message box title" "Error" "$(title_of "$box")"

if [ "$failures" -ne 0 ]; then
  echo "--- console output"; cat "$work/console.log" "$work/bare.log"
  exit 1
fi
echo "all screen checks passed"

#!/usr/bin/env bash
# Runs bugpost-demo on a private Xvfb display with the SDL backend, clicks its button with
# xdotool, and checks that the click arrived and the program ended with status 0.
# A screenshot of the display is kept as $BUGPOST_ARTIFACTS/demo_xvfb.png.
# Usage: demo_xvfb.sh path/to/bugpost-demo
set -uo pipefail
demo=$1
art=${BUGPOST_ARTIFACTS:-$PWD}
mkdir -p "$art"
work=$(mktemp -d)
xvfb_pid=""; demo_pid=""
cleanup() {
  [ -n "$demo_pid" ] && kill "$demo_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "demo_xvfb: $*" >&2; [ -f "$work/out" ] && sed 's/^/demo: /' "$work/out" "$work/err" >&2; exit 1; }

for tool in Xvfb xdotool xdpyinfo import convert; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup.sh installs it)"
done

# Xvfb picks a free display number itself (-displayfd), so parallel runs never collide.
# It listens on its local socket only.
Xvfb -displayfd 3 -screen 0 640x400x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
display=""
for _ in $(seq 1 100); do
  n=$(tr -dc '0-9' <"$work/display" 2>/dev/null)
  if [ -n "$n" ] && DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then display=":$n"; break; fi
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
[ -n "$display" ] || fail "could not start Xvfb: $(cat "$work/xvfb.log")"
export DISPLAY=$display

BUGPOST_BACKEND=sdl "$demo" >"$work/out" 2>"$work/err" &
demo_pid=$!
wid=$(timeout 15 xdotool search --sync --onlyvisible --name "bugpost demo" 2>/dev/null | head -1)
[ -n "$wid" ] || fail "the demo window did not appear"
sleep 1  # let the progress bar move and the picture settle
import -window root "$art/demo_xvfb.png" || fail "no screenshot"
echo "demo_xvfb: screenshot $art/demo_xvfb.png"
# The window sits at (100, 100): its caption band is presented, and the corner its region cuts
# off shows the root window.
pixel() { convert "$art/demo_xvfb.png" -format "%[hex:p{$1,$2}]" info: 2>/dev/null | cut -c1-6; }
band=$(pixel 400 110); corner=$(pixel 101 101)
[ "$band" = "08A1DF" ] || fail "caption band pixel is $band, not 08A1DF"
[ "$corner" = "000000" ] || fail "the cut corner shows $corner, not the root window"
# The progress bar moves by the worker's sends.
bar=$(pixel 125 168)
[ "$bar" = "06B025" ] || fail "the progress bar shows $bar at its start, not its fill 06B025"

# The button sits at (20, 100) to (140, 130) in the window.
xdotool mousemove --window "$wid" 80 115 click 1
for _ in $(seq 1 100); do
  kill -0 "$demo_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$demo_pid" 2>/dev/null && fail "the demo did not end after the click"
wait "$demo_pid"; rc=$?; demo_pid=""
[ "$rc" -eq 0 ] || fail "the demo ended with status $rc"
grep -qx clicked "$work/out" || fail "the click did not arrive"
grep -qx ready "$work/out" || fail "the demo never got ready"
echo "demo_xvfb: window appeared, click arrived, program ended with status 0"

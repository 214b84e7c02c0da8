#!/usr/bin/env bash
# The real program in a real window: Xvfb, the SDL backend, xdotool as the user.
# usage: xvfb_program_test.sh BUGPOST SERVICE ARTIFACT_DIR
set -uo pipefail
bugpost=$1 service=$2 art=${BUGPOST_ARTIFACTS:-$3}
mkdir -p "$art"
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

# Xvfb picks a free display number itself, so parallel runs never collide.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
display=""
for _ in $(seq 100); do
  n=$(tr -dc '0-9' <"$work/display" 2>/dev/null)
  if [ -n "$n" ] && DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then display=":$n"; break; fi
  sleep 0.05
done
[ -n "$display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"

"$service" --listen 127.0.0.1:0 --data "$work/service" >"$work/service.log" 2>&1 &
pids+=($!)
port=""
for _ in $(seq 100); do
  port=$(sed -n 's/^listening on 127.0.0.1:\([0-9]*\)$/\1/p' "$work/service.log")
  [ -n "$port" ] && break
  sleep 0.05
done
[ -n "$port" ] || fail "service did not start: $(cat "$work/service.log")"

head -c 300000 /dev/urandom >"$work/crash.dmp"
printf 'sample text report\n' >"$work/crash.txt"
mkdir -p "$work/home" "$work/run"
env -u BUGPOST_BACKEND DISPLAY=$display HOME="$work/home" XDG_RUNTIME_DIR="$work/run" \
  MOBI_VORPINAPI_NET_HOST=127.0.0.1:$port "$bugpost" "$work/crash" >"$work/bugpost.log" 2>&1 &
bp=$!
pids+=($bp)

wid=""
for _ in $(seq 200); do
  wid=$(DISPLAY=$display xdotool search --onlyvisible --pid "$bp" 2>/dev/null | head -n1)
  [ -n "$wid" ] && break
  kill -0 "$bp" 2>/dev/null || fail "bugpost ended before showing its window: $(cat "$work/bugpost.log")"
  sleep 0.05
done
[ -n "$wid" ] || fail "no window appeared"
sleep 0.5
geometry=$(DISPLAY=$display xwininfo -id "$wid")
x=$(sed -n 's/.*Absolute upper-left X: *\([0-9-]*\).*/\1/p' <<<"$geometry")
y=$(sed -n 's/.*Absolute upper-left Y: *\([0-9-]*\).*/\1/p' <<<"$geometry")
w=$(sed -n 's/.*Width: *\([0-9]*\).*/\1/p' <<<"$geometry")
h=$(sed -n 's/.*Height: *\([0-9]*\).*/\1/p' <<<"$geometry")
[ "$w" = 382 ] && [ "$h" = 262 ] || fail "window is ${w}x${h}, not 382x262"

shot="$art/app-xvfb.png"
DISPLAY=$display import -window root "$shot" || fail "no screenshot"
# The colour at window point (px, py) as "r g b".
pixel() {
  convert "$shot" -crop "1x1+$((x + $1))+$((y + $2))" -depth 8 txt:- |
    sed -n 's/.*srgb(\([0-9]*\),\([0-9]*\),\([0-9]*\)).*/\1 \2 \3/p'
}
read -r r g b <<<"$(pixel 100 5)"
[ "$b" -gt 200 ] && [ "$g" -gt 150 ] && [ "$r" -lt 60 ] || fail "caption band is $r $g $b, not blue"
read -r r g b <<<"$(pixel 160 225)"
[ "$g" -gt 180 ] && [ "$r" -lt 90 ] && [ "$b" -lt 70 ] || fail "send button face is $r $g $b, not green"
ink=$(convert "$shot" -crop "300x22+$((x + 30))+$((y + 70))" -colorspace gray -threshold 75% -negate \
  -format '%[fx:mean*w*h]' info:)
[ "${ink%.*}" -gt 40 ] || fail "no headline text in its box ($ink dark pixels)"

DISPLAY=$display xdotool mousemove $((x + 200)) $((y + 225)) sleep 0.2 click 1
for _ in $(seq 300); do kill -0 "$bp" 2>/dev/null || break; sleep 0.1; done
kill -0 "$bp" 2>/dev/null && fail "bugpost did not end after sending"
wait "$bp"
status=$?
[ "$status" = 0 ] || fail "bugpost exited with $status"

reports=$(curl -s "http://127.0.0.1:$port/reports")
stored=$(find "$work/service" -type f -size 300000c -exec cmp -s {} "$work/crash.dmp" \; -print | head -n1)
[ -n "$stored" ] || fail "the service holds no copy of the minidump; reports: $reports"
echo "PASS: window shown, probed, sent and closed; screenshot $shot"

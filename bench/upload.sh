#!/usr/bin/env bash
# upload.sh [MiB]: sends one report of MiB (default 1024) + a small text report with bugpost-send
# to bugpost-service on loopback, then the same two files with `curl -F` to the same service in
# the same run, and prints the throughput of each, their ratio, and each one's peak RSS.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mib=${1:-1024}
build=${BUGPOST_BENCH_BUILD:-$root/build-plain}

bash "$root/scripts/build.sh" "$build" "" bugpost-send >/dev/null
bash "$root/scripts/build.sh" "$build" "" bugpost-service >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/bugpost-bench.XXXXXX")
service_pid=""
cleanup() {
  [ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null && wait "$service_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

need=$(( mib * 3 + 64 ))
free=$(( $(df -Pm "$work" | awk 'NR==2 {print $4}') ))
[ "$free" -ge "$need" ] || { echo "upload.sh: needs ${need} MiB free in $work, has ${free}" >&2; exit 1; }

echo "bench: writing a ${mib} MiB minidump"
head -c "$(( mib * 1024 * 1024 ))" /dev/urandom > "$work/crash.dmp"
printf 'bench text report\n' > "$work/crash.txt"
bytes=$(( $(stat -c %s "$work/crash.dmp") + $(stat -c %s "$work/crash.txt") ))
# Flush the fresh file first, so neither sender pays for writing it back to disk.
sync

"$build/service/bugpost-service" --listen 127.0.0.1:0 --data "$work/data" > "$work/service.out" 2> "$work/service.err" &
service_pid=$!
for _ in $(seq 100); do grep -q '^listening on' "$work/service.out" 2>/dev/null && break; sleep 0.05; done
host=$(sed -n 's/^listening on //p' "$work/service.out")
[ -n "$host" ] || { echo "upload.sh: the service did not start" >&2; cat "$work/service.err" >&2; exit 1; }

# Peak RSS in KiB and wall seconds of one command, from GNU time.
measure() { # label command...
  local label=$1; shift
  /usr/bin/time -v -o "$work/$label.time" "$@" > "$work/$label.out" 2> "$work/$label.err"
}
field() { sed -n "s/^[[:space:]]*$2: //p" "$work/$1.time"; }
seconds() { # GNU time's h:mm:ss or m:ss.ss
  awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; print s }' <<< "$(field "$1" 'Elapsed (wall clock) time (h:mm:ss or m:ss)')"
}

echo "bench: bugpost-send"
env HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work" \
  VORPIN_LOG_FILE="$work/bugpost.log" MOBI_VORPINAPI_NET_HOST="$host" \
  /usr/bin/time -v -o "$work/send.time" "$build/cli/bugpost-send" "$work/crash" > "$work/send.out" 2> "$work/send.err" || true
tail -n1 "$work/send.out" | grep -qx accepted || { echo "upload.sh: bugpost-send was refused" >&2; cat "$work/send.err" "$work/service.err" >&2; exit 1; }

sync
# curl signs nothing itself: the same recipe as the client, with the key the program builds in.
key=$(sed -n 's/.*kSigningKey\[\] = "\([0-9a-f]*\)".*/\1/p' "$root/report/Signature.h")
path=$(sed -n 's/.*kSigningPath\[\] = "\([^"]*\)".*/\1/p' "$root/report/Signature.h")
name=crash-curl
params="{\"file_1\":\"$name.dmp\", \"file_2\":\"$name.txt\"}"
time=$(curl -s "http://$host/getTime.php")
inner=$(printf '%s' "$params" | md5sum | cut -c1-32)
outer=$(printf '%s' "$path|$inner|$key|$time" | md5sum | cut -c1-32)
signature="$time${outer:14}"

echo "bench: curl -F"
/usr/bin/time -v -o "$work/curl.time" curl -s -f -o "$work/curl.out" \
  -F "params=$params;type=form/data" \
  -F "file_1=@$work/crash.dmp;filename=$name.dmp;type=applicationx/octet-stream" \
  -F "file_2=@$work/crash.txt;filename=$name.txt;type=text/plain" \
  "http://$host/resty/v1.0.0/driver/ostrel/uploadBugFile/$signature" 2> "$work/curl.err" || true
grep -q '"data":"ok"' "$work/curl.out" || { echo "upload.sh: curl was refused" >&2; cat "$work/curl.out" "$work/service.err" >&2; exit 1; }

service_rss=$(awk '/^VmHWM/ {print $2}' "/proc/$service_pid/status")
stored=$(curl -s "http://$host/reports" | grep -o '"id"' | wc -l)

send_s=$(seconds send); curl_s=$(seconds curl)
send_rss=$(field send 'Maximum resident set size (kbytes)'); curl_rss=$(field curl 'Maximum resident set size (kbytes)')
awk -v b="$bytes" -v ss="$send_s" -v cs="$curl_s" -v sr="$send_rss" -v cr="$curl_rss" -v vr="$service_rss" -v n="$stored" -v mib="$mib" 'BEGIN {
  st = b / 1048576 / ss; ct = b / 1048576 / cs
  printf "report: %d MiB minidump + text, %d bytes, stored %d times by bugpost-service\n", mib, b, n
  printf "%-14s %10s %12s %14s\n", "sender", "seconds", "MiB/s", "peak RSS MiB"
  printf "%-14s %10.2f %12.1f %14.1f\n", "bugpost-send", ss, st, sr / 1024
  printf "%-14s %10.2f %12.1f %14.1f\n", "curl -F", cs, ct, cr / 1024
  printf "throughput ratio bugpost-send / curl: %.2f\n", st / ct
  printf "bugpost-service peak RSS: %.1f MiB\n", vr / 1024
}'

#!/usr/bin/env bash
# upload.sh [MiB]: sends one report of MiB (default 1024) + a small text report with bugpost-send
# to bugpost-service on loopback, and the same two files with `curl -F` to the same service in
# the same run (two runs each, in mirrored order), and prints the mean throughput of each,
# their ratio, and each one's peak RSS.
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

need=$(( mib * 5 + 64 ))
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

# Fields of GNU time's report for one run.
field() { sed -n "s/^[[:space:]]*$2: //p" "$work/$1.time"; }
seconds() { # GNU time's h:mm:ss or m:ss.ss
  awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; print s }' <<< "$(field "$1" 'Elapsed (wall clock) time (h:mm:ss or m:ss)')"
}

# curl signs nothing itself: the same recipe as the client, with the key the program builds in.
key=$(sed -n 's/.*kSigningKey\[\] = "\([0-9a-f]*\)".*/\1/p' "$root/report/Signature.h")
path=$(sed -n 's/.*kSigningPath\[\] = "\([^"]*\)".*/\1/p' "$root/report/Signature.h")

run_send() { # label: one bugpost-send of the report under a name of its own (no replay)
  ln -f "$work/crash.dmp" "$work/$1.dmp"
  ln -f "$work/crash.txt" "$work/$1.txt"
  sync
  env HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work" \
    VORPIN_LOG_FILE="$work/bugpost.log" MOBI_VORPINAPI_NET_HOST="$host" \
    /usr/bin/time -v -o "$work/$1.time" "$build/cli/bugpost-send" "$work/$1" > "$work/$1.out" 2> "$work/$1.err" || true
  tail -n1 "$work/$1.out" | grep -qx accepted ||
    { echo "upload.sh: bugpost-send was refused" >&2; cat "$work/$1.err" "$work/service.err" >&2; exit 1; }
}

run_curl() { # label: the same files with curl -F, signed for a name of its own
  local params time inner outer signature
  params="{\"file_1\":\"$1.dmp\", \"file_2\":\"$1.txt\"}"
  time=$(curl -s "http://$host/getTime.php")
  inner=$(printf '%s' "$params" | md5sum | cut -c1-32)
  outer=$(printf '%s' "$path|$inner|$key|$time" | md5sum | cut -c1-32)
  signature="$time${outer:14}"
  sync
  /usr/bin/time -v -o "$work/$1.time" curl -s -f -o "$work/$1.out" \
    -F "params=$params;type=form/data" \
    -F "file_1=@$work/crash.dmp;filename=$1.dmp;type=applicationx/octet-stream" \
    -F "file_2=@$work/crash.txt;filename=$1.txt;type=text/plain" \
    "http://$host/resty/v1.0.0/driver/ostrel/uploadBugFile/$signature" 2> "$work/$1.err" || true
  grep -q '"data":"ok"' "$work/$1.out" ||
    { echo "upload.sh: curl was refused" >&2; cat "$work/$1.out" "$work/service.err" >&2; exit 1; }
}

# Two rounds in mirrored order, so neither sender always goes first or last.
echo "bench: bugpost-send, curl -F, curl -F, bugpost-send"
run_send send1; run_curl curl1; run_curl curl2; run_send send2

service_rss=$(awk '/^VmHWM/ {print $2}' "/proc/$service_pid/status")
stored=$(curl -s "http://$host/reports" | grep -o '"id"' | wc -l)

rows=""
for label in send1 send2 curl1 curl2; do
  rows+="$label $(seconds $label) $(field $label 'Maximum resident set size (kbytes)')"$'\n'
done
awk -v b="$bytes" -v vr="$service_rss" -v n="$stored" -v mib="$mib" '
  NF == 3 {
    who = ($1 ~ /^send/) ? "bugpost-send" : "curl -F"
    s[who] += $2; runs[who]++
    if ($3 > rss[who]) rss[who] = $3
  }
  END {
    printf "report: %d MiB minidump + text, %d bytes, stored %d times by bugpost-service\n", mib, b, n
    printf "%-14s %14s %12s %14s\n", "sender", "mean seconds", "MiB/s", "peak RSS MiB"
    for (who in runs) {
      t[who] = b / 1048576 / (s[who] / runs[who])
    }
    printf "%-14s %14.2f %12.1f %14.1f\n", "bugpost-send", s["bugpost-send"] / 2, t["bugpost-send"], rss["bugpost-send"] / 1024
    printf "%-14s %14.2f %12.1f %14.1f\n", "curl -F", s["curl -F"] / 2, t["curl -F"], rss["curl -F"] / 1024
    printf "throughput ratio bugpost-send / curl: %.2f\n", t["bugpost-send"] / t["curl -F"]
    printf "bugpost-service peak RSS: %.1f MiB\n", vr / 1024
  }' <<< "$rows"

#!/usr/bin/env bash
# The main job: build, start the local reference service, send a sample report to it, show where
# the service stored it, stop the service. With a display the report goes through the report
# dialog (press its green button); without one the windowless sender sends the same report.
# Everything stays in demo-data/ (the service's data, the sample report, the log, a home folder
# for the sender's data folder); loopback only.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
build="$root/build-plain"
bash "$root/scripts/build.sh" "$build" "" bugpost-service
bash "$root/scripts/build.sh" "$build" "" bugpost-send
bash "$root/scripts/build.sh" "$build" "" bugpost

demo="$root/demo-data"
mkdir -p "$demo/sample" "$demo/home" "$demo/runtime"
chmod 700 "$demo/runtime"

service_pid=""
stop_service() {
  if [ -n "$service_pid" ]; then
    kill "$service_pid" 2>/dev/null || true
    wait "$service_pid" 2>/dev/null || true
    service_pid=""
  fi
}
trap stop_service EXIT

"$build/service/bugpost-service" --listen 127.0.0.1:0 --data "$demo/service" > "$demo/service.out" 2> "$demo/service.log" &
service_pid=$!
host=""
for _ in $(seq 200); do
  host=$(sed -n 's/^listening on //p' "$demo/service.out" 2>/dev/null)
  [ -n "$host" ] && break
  kill -0 "$service_pid" 2>/dev/null || break
  sleep 0.05
done
[ -n "$host" ] || { echo "demo: bugpost-service did not start:" >&2; cat "$demo/service.log" >&2; exit 1; }
echo "demo: bugpost-service listens on $host, data in $demo/service"

# A sample crash report: a minidump-shaped binary file and its text report.
base="$demo/sample/crash-$(date -u +%Y%m%dT%H%M%SZ)"
{ printf 'MDMP\x93\xa7\x00\x00'; head -c 65536 /dev/urandom; } > "$base.dmp"
printf 'Product: demo\nException: access violation at 0x00000000\nTime: %s\n' "$(date -u)" > "$base.txt"
echo "demo: sample report $base.dmp + .txt"

status=0
run_env=(env HOME="$demo/home" XDG_CONFIG_HOME="$demo/home/.config" XDG_RUNTIME_DIR="$demo/runtime"
  VORPIN_LOG_FILE="$demo/bugpost.log" MOBI_VORPINAPI_NET_HOST="$host")
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "demo: the report dialog opens on your display; press its green button to send the report"
  "${run_env[@]}" "$build/app/bugpost" "$base" > "$demo/bugpost.out" 2>&1 || status=$?
  echo "demo: bugpost ended (exit status $status)"
else
  echo "demo: no display here, so the same report goes out with the windowless sender"
  "${run_env[@]}" "$build/cli/bugpost-send" "$base" > "$demo/send.out" || status=$?
  answer=$(tail -n1 "$demo/send.out")
  echo "demo: bugpost-send said \"$answer\" (exit status $status)"
fi
list=$(curl -s "http://$host/reports")
if [ "$status" -ne 0 ] || ! grep -q "$(basename "$base")" <<< "$list"; then
  echo "demo: the report was not stored (closed without sending, or refused); service log:" >&2
  cat "$demo/service.log" >&2
  [ -f "$demo/bugpost.log" ] && cat "$demo/bugpost.log" >&2
  exit 1
fi

# The index as the service lists it; the last entry is the report just sent.
id=$(grep -o '"id":"[^"]*"' <<< "$list" | tail -n1 | cut -d'"' -f4)
location=$(grep -o '"location":"[^"]*"' <<< "$list" | tail -n1 | cut -d'"' -f4)
echo "demo: stored report id $id"
echo "demo: stored in $location"
ls -l "$location"
cmp "$base.dmp" "$location/report.dmp" && cmp "$base.txt" "$location/report.txt" &&
  echo "demo: the stored files equal the sample report byte for byte"
stop_service
echo "demo: bugpost-service stopped"

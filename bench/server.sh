#!/usr/bin/env bash
# Loads orvane-server with wrk: the reachability probe, the task fetch and the
# sign-in, each for a while on kept-alive connections, as in docs/performance.md.
# Usage: bench/server.sh [seconds]   (per endpoint, default 10)
# Not part of ctest: it wants a quiet machine.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-10}
threads=${WRK_THREADS:-2}
connections=${WRK_CONNECTIONS:-32}
work=$(mktemp -d "${BENCH_TMP:-/tmp}/orvane-server-bench-XXXXXX")
build=build/bench
server_pid=
cleanup() {
  [ -n "$server_pid" ] && kill -TERM "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANE_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target orvane-server -j2 >/dev/null
server=$build/server/orvane-server

# The shipped hash cost, so the sign-in figure is the real one.
id=$("$server" --data "$work" account create --nickname bench --password bench-secret --level 1)
task=$(printf '1|0|30|0|1|3|0|bench|10:5|1' | sed 's/|/%7C/g')
"$server" --data "$work" --listen 127.0.0.1:0 >"$work/stdout" 2>&1 &
server_pid=$!
base=
for _ in $(seq 100); do
  base=$(grep -o 'http://127\.0\.0\.1:[0-9]*' "$work/stdout" || true)
  [ -n "$base" ] && break
  sleep 0.1
done
[ -n "$base" ] || { cat "$work/stdout" >&2; exit 1; }

fetch="$base/SoftWare/Program/Orvane/Task.php?qlu=1&dl=$id&password=bench-secret"
for slot in 1 2 3; do
  curl -s "$base/SoftWare/Program/Orvane/Task.php?hlu=1&dl=$id&password=bench-secret&taskcontent=$task&tasktb=1&xgy=0&zrid=" >/dev/null
done
# One full check first, as the program signs in before it fetches.
curl -s "$base/SoftWare/userroom/stLogin.php?dlu=1&dl=$id&password=bench-secret" >/dev/null

echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "wrk -t$threads -c$connections -d${seconds}s, server $(git rev-parse --short HEAD)"
for name in probe fetch signin; do
  case $name in
    probe) url="$base/" ;;
    fetch) url="$fetch" ;;
    signin) url="$base/SoftWare/userroom/stLogin.php?dlu=1&dl=$id&password=bench-secret" ;;
  esac
  echo "== $name"
  wrk -t"$threads" -c"$connections" -d"${seconds}s" --latency "$url" |
    grep -E 'Latency|Requests/sec|requests in|50%|90%|99%|Non-2xx|Socket errors'
done

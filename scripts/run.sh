#!/usr/bin/env bash
# Installs what is missing, builds the desktop program (GTK) and starts it.
# Unless ORVANE_VENDOR_SERVER names a server already, it first starts
# orvane-server on loopback (data in build/server-data, a demo account made on
# the first start) and stops it again when the program ends. Arguments go to
# the program (orvane --help lists them).
set -euo pipefail
cd "$(dirname "$0")/.."

program=build/linux/program/orvane

bash scripts/setup.sh run
echo "run.sh: building the Linux desktop program and orvane-server in build/linux, then opening $program${*:+ $*}"
# The test suites are not needed to run the program (scripts/test.sh builds them).
cmake --preset linux -DORVANE_BUILD_TESTS=OFF >/dev/null
cmake --build --preset linux --target orvane orvane-server

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  echo "run.sh: no display to show the program on (DISPLAY is '${DISPLAY:-}')." >&2
  echo "  Run it from a desktop session, or without a screen under a virtual one (package xvfb):" >&2
  echo "  xvfb-run -a $program --scenario tests/scenarios/gallery.scenario" >&2
  echo "  (or $program --headless --scenario tests/scenarios/gallery.scenario)" >&2
  exit 1
fi

server=build/linux/server/orvane-server
data=build/server-data
server_pid=
stop_server() {
  if [ -n "$server_pid" ]; then
    kill -TERM "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
    server_pid=
  fi
}

if [ -z "${ORVANE_VENDOR_SERVER:-}" ]; then
  mkdir -p "$data"
  if [ ! -s "$data/demo-account" ]; then
    password=$(head -c 32 /dev/urandom | base64 | tr -dc 'A-Za-z0-9' | head -c 10)
    id=$("$server" --data "$data" account create --nickname "演示用户" --password "$password" \
      --level 1 --points 100)
    printf '%s %s\n' "$id" "$password" >"$data/demo-account"
  fi
  read -r demo_id demo_password <"$data/demo-account"
  echo "run.sh: demo account: ID $demo_id, password $demo_password"

  : >"$data/stdout"
  "$server" --data "$data" --listen 127.0.0.1:0 >"$data/stdout" 2>&1 &
  server_pid=$!
  trap stop_server EXIT
  base=
  for _ in $(seq 100); do
    base=$(grep -o 'http://127\.0\.0\.1:[0-9]*' "$data/stdout" || true)
    [ -n "$base" ] && break
    kill -0 "$server_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$base" ]; then
    echo "run.sh: orvane-server did not start:" >&2
    cat "$data/stdout" >&2
    exit 1
  fi
  export ORVANE_VENDOR_SERVER="$base"
  echo "run.sh: orvane-server at $base (log: $data/server.log)"
fi

status=0
"$program" "$@" || status=$?
stop_server
# Every quit of the program ends it with exit code 18: for the shell, a success.
[ "$status" -ne 18 ] || status=0
exit "$status"

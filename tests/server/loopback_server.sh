# Sourced by the desktop tests that talk to a real orvane-server:
#   start_loopback_server SERVER DATA-DIR
# starts it on a free loopback port with its data in DATA-DIR, sets $base to
# its address and stops it when the calling shell exits. Accounts are made
# beforehand with "SERVER --data DATA-DIR account create ...".
server_pid=
stop_loopback_server() {
  if [ -n "$server_pid" ]; then
    kill -TERM "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
}

start_loopback_server() {
  local server=$1 data=$2
  trap stop_loopback_server EXIT
  "$server" --data "$data" --listen 127.0.0.1:0 >server.out 2>&1 &
  server_pid=$!
  base=
  for _ in $(seq 100); do
    base=$(grep -o 'http://127\.0\.0\.1:[0-9]*' server.out || true)
    [ -n "$base" ] && return 0
    kill -0 "$server_pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "orvane-server did not start:"
  cat server.out
  return 1
}

# The opening of a desktop end-to-end script called as
#   SCRIPT PROGRAM SERVER WORK-DIR
# it runs again on a virtual display when there is none, sets $program,
# $server and $work, and makes an empty $work (with data/ and run/) the
# current folder.
begin_desktop_run() {
  if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
  fi
  program=$(realpath "$1")
  server=$(realpath "$2")
  work=$3
  rm -rf "$work"
  mkdir -p "$work/data" "$work/run"
  cd "$work"
}

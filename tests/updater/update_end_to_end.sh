#!/usr/bin/env bash
# The whole update on the Linux desktop build: the reference server names
# 6.1.5 and serves it and the updater; a copy of the program in a temporary
# folder runs its version check with automatic update on, fetches DravoUP,
# starts it and ends; the updater replaces the copy with the served file and
# starts it, and the served file tells that it is the one running.
#   update_end_to_end.sh WORKDIR ORVANE DRAVOUP ORVANE_SERVER
set -euo pipefail
work=$(realpath -m "$1") orvane=$(realpath "$2") dravoup=$(realpath "$3") server=$(realpath "$4")
rm -rf "$work"
mkdir -p "$work/app" "$work/data" "$work/run"
# Locks of this run only: no other instance of the program or updater counts.
export XDG_RUNTIME_DIR=$work/run

"$server" --data "$work/data" --listen 127.0.0.1:0 --hash-limits 1,8 > "$work/server.out" &
server_pid=$!
trap 'kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true' EXIT
for _ in $(seq 100); do grep -q listening "$work/server.out" && break; sleep 0.1; done
base=$(sed -n 's/.*listening on \(http:[^ ]*\).*/\1/p' "$work/server.out")
[ -n "$base" ] || { echo "orvane-server did not start" >&2; exit 1; }

# The new version: a program that leaves a mark saying where it ran.
cat > "$work/orvane-6.1.5" <<'PROGRAM'
#!/bin/sh
echo "6.1.5 running in $(pwd)" > started-6.1.5
PROGRAM
admin() { "$server" --data "$work/data" --hash-limits 1,8 "$@"; }
admin publish product "$work/orvane-6.1.5" --version 6.1.5
admin publish updater "$dravoup"

# No settings file: automatic update is on.
cp "$orvane" "$work/app/orvane"
chmod 0750 "$work/app/orvane"
cd "$work/app"
status=0
ORVANE_VENDOR_SERVER=$base timeout 120 ./orvane > "$work/orvane.out" 2>&1 || status=$?
if [ "$status" -ne 18 ]; then
  echo "the program ended with $status, not with the update's 18" >&2
  cat "$work/orvane.out" >&2
  exit 1
fi
[ -x DravoUP ] || { echo "the program did not fetch an executable DravoUP" >&2; exit 1; }

for _ in $(seq 600); do [ -s started-6.1.5 ] && break; sleep 0.1; done
# The updater has ended once its lock is free again.
for _ in $(seq 300); do flock -n "$XDG_RUNTIME_DIR/DravoUP.lock" true && break; sleep 0.1; done
flock -n "$XDG_RUNTIME_DIR/DravoUP.lock" true || { echo "DravoUP is still running" >&2; exit 1; }
if [ ! -s started-6.1.5 ]; then
  echo "the new version was not started" >&2
  ls -la >&2
  exit 1
fi
grep -qx "6.1.5 running in $PWD" started-6.1.5
cmp orvane "$work/orvane-6.1.5"
cmp orvane.bak "$orvane"
[ "$(stat -c %a orvane)" = 750 ] || { echo "the new program lost the old one's mode" >&2; exit 1; }
[ ! -e orvane.new ] || { echo "the download was left behind" >&2; exit 1; }
echo "update: the program fetched and started DravoUP, which put 6.1.5 in its place and started it"

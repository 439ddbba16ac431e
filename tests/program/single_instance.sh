#!/usr/bin/env bash
# Starts the program, waits until its window is up, starts it again and
# expects the second start to say "已经打开了!" and end with exit code 0
# while the first runs on untouched.
#   single_instance.sh WORKDIR COMMAND...   (COMMAND starts the program)
set -euo pipefail
work=$1
shift
rm -rf "$work"
mkdir -p "$work"
cd "$work"

# No server answers (port 9 is closed): the first instance goes on without an
# account. The picture tells that its main window is up; named in full, it
# lands here.
export ORVANE_VENDOR_SERVER=http://127.0.0.1:9
cat > first.scenario <<SCENARIO
start main
msgbox ok text="网络连接失败!"
click 131 1031
advance 500ms
expect window 102 visible
screenshot "$PWD/first-up.png"
advance 8s
expect window 102 visible
SCENARIO
cat > second.scenario <<'SCENARIO'
start main
msgbox ok text="已经打开了!" caption="Orvane" buttons=ok
expect windows 131 0
expect exit 0
SCENARIO

"$@" --scenario first.scenario > first.out 2>&1 &
first=$!
for _ in $(seq 1 300); do
  [ -s first-up.png ] && break
  kill -0 "$first" 2>/dev/null || break
  sleep 0.1
done
if [ ! -s first-up.png ]; then
  echo "the first instance never showed its window" >&2
  cat first.out >&2
  exit 1
fi

status=0
"$@" --scenario second.scenario > second.out 2>&1 || status=$?
cat second.out
wait "$first" || { echo "the first instance failed:" >&2; cat first.out >&2; exit 1; }
if [ "$status" -ne 0 ]; then
  echo "the second instance's scenario failed (exit $status)" >&2
  exit 1
fi
echo "single instance: the second start was refused, the first ran on"

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

# The picture tells that the first window is up; named in full, it lands here.
cat > first.scenario <<SCENARIO
start main
screenshot "$PWD/first-up.png"
advance 8s
expect window 90 visible
SCENARIO
cat > second.scenario <<'SCENARIO'
start main
msgbox ok text="已经打开了!" caption="Orvane" buttons=ok
expect windows 90 0
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

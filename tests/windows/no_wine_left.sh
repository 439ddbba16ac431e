#!/usr/bin/env bash
# The last test of the Windows build: stops the prefix the tests ran in and
# expects none of its Wine processes (wineserver, winedevice.exe, the
# programs) to be left running.
#   no_wine_left.sh WINE-RUN PREFIX
set -euo pipefail
wine_run=$1
prefix=$(realpath -m "$2")

"$wine_run" --prefix "$prefix" --stop

# Every process Wine starts for the prefix carries it in its environment
# (this script's own does not).
unset WINEPREFIX
left() {
  local file pid
  { grep -lzxF "WINEPREFIX=$prefix" /proc/[0-9]*/environ 2>/dev/null || true; } | while read -r file; do
    pid=${file#/proc/}
    pid=${pid%/environ}
    echo "$pid $( (tr '\0' ' ' <"/proc/$pid/cmdline") 2>/dev/null)"
  done
}

for _ in $(seq 1 50); do
  [ -n "$(left)" ] || exit 0
  sleep 0.1
done
echo "still running for $prefix:"
left
exit 1

#!/usr/bin/env bash
# Times orvane-batch replace on one big UTF-8 file against `sed -i`, with the
# peak memory of each (maximum resident set from /usr/bin/time).
# Every timed run starts from a fresh copy of the file (the copy is not timed).
# Usage: bench/big_file.sh [runs] [megabytes]   (median of `runs`, default 3; 500 MB)
#        BENCH_TMP=/tmp bench/big_file.sh        (default /dev/shm: tmpfs, no disk)
# Not part of ctest: it wants a quiet machine and twice the file in free memory.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-3}
megabytes=${2:-500}
work=$(mktemp -d "${BENCH_TMP:-/dev/shm}/orvane-big-XXXXXX")
trap 'rm -rf "$work"' EXIT
source bench/orvane_batch_tool.sh

# Lines like the tree's: ASCII words, a Chinese word, a link, the keyword in most.
python3 - "$work/big.txt" "$megabytes" <<'PY'
import random, sys
rng = random.Random(7)
words = ["timer", "task", "shutdown", "remind", "alarm", "Orvane", "folder", "batch"]
chinese = ["定时", "关机", "提醒", "闹钟", "批量", "替换", "下载", "截取"]
lines = []
for n in range(20000):
    w = [rng.choice(words) for _ in range(rng.randint(4, 10))]
    w.insert(rng.randrange(len(w)), rng.choice(chinese))
    lines.append(f'line {n}: {" ".join(w)} <a href="http://example.com/p/{n}.htm">x</a>\n')
block = "".join(lines).encode("utf-8")
target = int(sys.argv[2]) * 1024 * 1024
with open(sys.argv[1], "wb") as f:
    written = 0
    while written < target:
        piece = block[: target - written]
        f.write(piece)
        written += len(piece)
PY

replace_orvane() {
  "$tool" replace --folder "$work/run" --format txt --mode 0 --keyword Orvane --with Replaced \
    >/dev/null
}
replace_sed() { sed -i 's/Orvane/Replaced/g' "$work/run/big.txt"; }

tools=(replace_orvane replace_sed)
declare -A times peaks
for ((round = 0; round < runs; round++)); do
  for tool_run in "${tools[@]}"; do
    rm -rf "$work/run"
    mkdir "$work/run"
    cp "$work/big.txt" "$work/run/big.txt"
    sync
    # %e seconds, %M peak resident kilobytes
    /usr/bin/time -f "%e %M" -o "$work/time" bash -c "$(declare -f "$tool_run"); \
      tool=$tool work=$work $tool_run"
    read -r seconds kilobytes <"$work/time"
    times[$tool_run]+="$seconds "
    peaks[$tool_run]+="$kilobytes "
  done
done

median() { printf '%s\n' $1 | sort -n | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'; }
size=$(stat -c %s "$work/big.txt")
r_orvane=$(median "${times[replace_orvane]}")
r_sed=$(median "${times[replace_sed]}")
p_orvane=$(median "${peaks[replace_orvane]}")
p_sed=$(median "${peaks[replace_sed]}")
echo "one file of $size bytes; median of $runs runs; $(nproc) cores;" \
  "file in $(df --output=fstype "$work" | tail -1)"
printf '%-24s %7s s  peak %6d MB = %s x the file\n' "orvane-batch replace" "$r_orvane" \
  $((p_orvane / 1024)) "$(awk -v p="$p_orvane" -v s="$size" 'BEGIN { printf "%.2f", p * 1024 / s }')"
printf '%-24s %7s s  peak %6d MB   orvane/sed = %s\n' "sed -i" "$r_sed" $((p_sed / 1024)) \
  "$(awk -v a="$r_orvane" -v b="$r_sed" 'BEGIN { printf "%.2f", a / b }')"

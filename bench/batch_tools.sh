#!/usr/bin/env bash
# Times orvane-batch against the usual shell tools on one generated tree:
# replace against `find | xargs sed -i` and `cp -r`, extract against `rg -o`,
# then extract's peak memory as its output grows.
# Every timed run starts from a fresh copy of the tree (the copy is not timed).
# Usage: bench/batch_tools.sh [runs]   (median of `runs`, default 5)
#        BENCH_TMP=/dev/shm bench/batch_tools.sh   (the tree in memory: no disk)
# Not part of ctest: it takes a minute and wants a quiet machine.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-5}
work=$(mktemp -d "${BENCH_TMP:-/tmp}/orvane-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
source bench/orvane_batch_tool.sh
python3 bench/make_tree.py "$work/tree"

replace_orvane() {
  "$tool" replace --folder "$work/run" --format txt --mode 0 --keyword Orvane --with Replaced \
    >/dev/null
}
replace_sed() {
  find "$work/run" -type f -name '*.txt' -print0 | xargs -0 sed -i 's/Orvane/Replaced/g'
}
copy_cp() { cp -r "$work/run" "$work/copy"; }
rewrite_floor() { python3 bench/rewrite_floor.py "$work/run"; }
extract_orvane() {
  "$tool" extract --folder "$work/run" --format txt --start1 'href="' --end1 '"' \
    --template '[1]' --save-folder "$work/out" --auto-line >/dev/null
}
extract_rg() { rg -o --no-filename 'href="[^"]*"' "$work/run" >"$work/out.txt" || true; }
extract_rg_one_thread() {
  rg -j1 -o --no-filename 'href="[^"]*"' "$work/run" >"$work/out.txt" || true
}

tools=(replace_orvane replace_sed copy_cp rewrite_floor extract_orvane extract_rg
  extract_rg_one_thread)
declare -A times

# Rounds run every tool once, so a busy spell on the machine touches all of them.
for ((round = 0; round < runs; round++)); do
  for tool_run in "${tools[@]}"; do
    rm -rf "$work/run" "$work/copy" "$work/out" "$work/out.txt"
    cp -r "$work/tree" "$work/run"
    sync
    start=$(date +%s.%N)
    "$tool_run"
    end=$(date +%s.%N)
    times[$tool_run]+="$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }') "
  done
done

median() {
  printf '%s\n' ${times[$1]} | sort -n | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

r_orvane=$(median replace_orvane)
r_sed=$(median replace_sed)
c_cp=$(median copy_cp)
f_floor=$(median rewrite_floor)
e_orvane=$(median extract_orvane)
e_rg=$(median extract_rg)
e_rg1=$(median extract_rg_one_thread)

echo "median of $runs runs, seconds; $(nproc) cores; tree in $(df --output=fstype "$work" | tail -1)"
printf '%-34s %7s\n' "orvane-batch replace" "$r_orvane"
printf '%-34s %7s   orvane/sed = %s\n' "find | xargs sed -i" "$r_sed" "$(ratio "$r_orvane" "$r_sed")"
printf '%-34s %7s   orvane/cp  = %s\n' "cp -r" "$c_cp" "$(ratio "$r_orvane" "$c_cp")"
printf '%-34s %7s   orvane/floor = %s\n' "read, write beside, rename (python)" "$f_floor" \
  "$(ratio "$r_orvane" "$f_floor")"
printf '%-34s %7s\n' "orvane-batch extract" "$e_orvane"
printf '%-34s %7s   orvane/rg  = %s\n' "rg -o" "$e_rg" "$(ratio "$e_orvane" "$e_rg")"
printf '%-34s %7s   orvane/rg  = %s\n' "rg -j1 -o" "$e_rg1" "$(ratio "$e_orvane" "$e_rg1")"

# Extract's peak memory while its output grows: the same pieces through
# templates that repeat them 1, 10 and 50 times. Lines go to the result file
# as the files give them, so the peak should not follow the output.
echo
printf '%-34s %14s %14s\n' "extract, template repeats" "output bytes" "peak RSS KB"
for repeats in 1 10 50; do
  template=$(printf '[1]%.0s' $(seq "$repeats"))
  rm -rf "$work/out"
  peak=$(/usr/bin/time -f '%M' "$tool" extract --folder "$work/tree" --format txt \
    --start1 'href="' --end1 '"' --template "$template" --save-folder "$work/out" \
    --auto-line 2>&1 >/dev/null | tail -1)
  printf '%-34s %14s %14s\n' "$repeats" "$(stat -c %s "$work/out/JieQu.txt")" "$peak"
done

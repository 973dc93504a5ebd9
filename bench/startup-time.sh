#!/usr/bin/env bash
# Time from the program's start to the first painted editor of the main
# window, with no file and with the 100 MB corpus, as medians of N runs
# (default 5), and the ratio against the baseline: reading the corpus
# file once (cat to /dev/null) in the same run.
#
#   bench/startup-time.sh [N]
#
# Needs a built build/app/ZorvaneEditor and xvfb-run; the corpus is made
# by any bench_* program (bench_linestore) when it is missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exe="$root/build/app/ZorvaneEditor"
runs=${1:-5}
corpus=${ZE_BENCH_DIR:-/tmp/ze-bench}/ze-corpus-100mb.txt
if [[ ! -f "$corpus" ]]; then
  "$root/build/bench/bench_linestore" --benchmark_filter=NONE >/dev/null
fi

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }

# A settings folder of its own, so that the runs do not touch the user's.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$exe" "$root"/build/app/*.ini "$work"/ 2>/dev/null || cp "$exe" "$work"/
cp "$root"/build/app/予約語.txt "$work"/ 2>/dev/null || true

# The runs go inside one virtual X server.
cat >"$work/runs.sh" <<'RUNS'
#!/usr/bin/env bash
n=$1; shift
for ((i = 0; i < n; i++)); do
  ZE_STARTUP_TIME=quit "$(dirname "$0")/ZorvaneEditor" "$@" 2>&1 >/dev/null |
    sed -n 's/^first paint: \([0-9]*\) ms$/\1/p'
done
RUNS
chmod +x "$work/runs.sh"

empty=$(xvfb-run -a -s "-screen 0 1280x900x24" "$work/runs.sh" "$runs" | median)
big=$(xvfb-run -a -s "-screen 0 1280x900x24" "$work/runs.sh" "$runs" "$corpus" | median)
base=$(for ((i = 0; i < runs; i++)); do
  s=$(date +%s%N); cat "$corpus" >/dev/null; e=$(date +%s%N); echo $(((e - s) / 1000000))
done | median)
echo "first paint, no file:        ${empty} ms (median of $runs)"
echo "first paint, 100 MB corpus:  ${big} ms (median of $runs)"
echo "baseline, reading the corpus: ${base} ms (median of $runs)"
awk -v b="$big" -v r="$base" 'BEGIN { if (r > 0) printf "ratio 100 MB / baseline: %.1f\n", b / r }'

#!/usr/bin/env bash
# Times `lancitong-cli linkmap` over a generated site next to a `batch` that
# only reads and writes the same articles (shuffle mode with every stage off,
# so the engine changes nothing), on a tmpfs when one is at hand, and prints
# the median of the per-round ratios linkmap / batch.
#   bench/linkmap_vs_batch.sh [COUNT] [ROUNDS]   (default 10,000 articles of 8 KB, 5 rounds)
# The articles sit in 100 subfolders and both commands run with --recursive;
# they take turns at going first, and every batch writes into a fresh folder.
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-10000}
rounds=${2:-5}
source bench/build.sh
build_bench lancitong-cli make_articles
cli="$PWD/$build/cli/lancitong-cli"

work=$(mktemp -d "${TMPDIR:-/tmp}/lct-bench-XXXXXX")
mounted=no
if mount -t tmpfs -o size=4g lct-bench "$work" 2>/dev/null; then
    mounted=yes
    base="a tmpfs of its own"
else
    rmdir "$work"
    base=$build
    if [ "$(stat -f -c %T /dev/shm 2>/dev/null)" = tmpfs ]; then base=/dev/shm; fi
    work=$(mktemp -d "$base/lct-bench-XXXXXX")
fi
cleanup() {
    if [ "$mounted" = yes ]; then umount "$work" && rmdir "$work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
"$build/bench/make_articles" "$work/site" "$count" 100 >/dev/null

now() { date +%s.%N; }

# Seconds that one run of "$@" takes.
seconds() {
    local start
    start=$(now)
    "$@" >/dev/null 2>&1 || true
    awk -v a="$start" -v b="$(now)" 'BEGIN { printf "%.4f", b - a }'
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

linkmap=(linkmap --ini "$work/none.ini" --recursive --base-url https://example.com/ "$work/site")
batch=(batch --ini "$work/none.ini" --recursive --mode shuffle --set 选择框打乱标题=假
    --set 选择框打乱内容=假 "$work/site")
maps=() batches=() ratios=()
for ((r = 0; r < rounds; r++)); do
    if ((r % 2)); then
        m=$(seconds "$cli" "${linkmap[@]}")
        b=$(seconds "$cli" "${batch[@]}")
    else
        b=$(seconds "$cli" "${batch[@]}")
        m=$(seconds "$cli" "${linkmap[@]}")
    fi
    mv "$work/site/关键词插入结果" "$work/results.$r"
    maps+=("$m")
    batches+=("$b")
    ratios+=("$(awk -v m="$m" -v b="$b" 'BEGIN { printf "%.3f", m / b }')")
done
lines=$("$cli" "${linkmap[@]}" 2>/dev/null | wc -l)
printf 'articles: %d of about 8 KB in 100 subfolders in %s, %d rounds, medians (%d map lines)\n' \
    "$count" "$base" "$rounds" "$lines"
printf 'batch (reads and writes) %6.3f s   linkmap %6.3f s   ratio %5.2f\n' \
    "$(printf '%s\n' "${batches[@]}" | median)" "$(printf '%s\n' "${maps[@]}" | median)" \
    "$(printf '%s\n' "${ratios[@]}" | median)"

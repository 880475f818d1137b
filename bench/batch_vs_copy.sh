#!/usr/bin/env bash
# Times `lancitong-cli batch` over generated articles in mixed encodings next
# to a plain `cp -r` of the same folder, and prints the ratio.
#   bench/batch_vs_copy.sh [COUNT]   (default 2000 articles of about 8 KB)
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-2000}
build=build/bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DLCT_BUILD_TESTS=OFF -DLCT_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target lancitong-cli make_articles >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/make_articles" "$work/in" "$count"
sync

seconds() {
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}

copy=$(seconds cp -r "$work/in" "$work/copy")
batch=$(seconds "$build/cli/lancitong-cli" batch --ini "$work/none.ini" --seed 1 "$work/in")
written=$(find "$work/in/关键词插入结果" -type f | wc -l)
printf 'articles: %d (results written: %d)\n' "$count" "$written"
printf 'cp -r:    %.3f s\n' "$copy"
printf 'batch:    %.3f s\n' "$batch"
awk -v b="$batch" -v c="$copy" 'BEGIN { printf "ratio:    %.1f\n", b / c }'

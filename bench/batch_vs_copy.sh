#!/usr/bin/env bash
# Times `lancitong-cli batch` over generated articles in mixed encodings next to
# a plain `cp -r` of the same folder, on a tmpfs when one is at hand (so the
# disk's noise stays out), and prints the median of the per-round ratios.
# The two commands run interleaved, round after round, each in fresh folders,
# taking turns at going first.
#   bench/batch_vs_copy.sh [COUNT] [ROUNDS]   (default 2000 articles of 8 KB, 7 rounds)
# Runs: the window's defaults with 1 and with 2 jobs, replace mode with 10,000
# keywords, and 简到繁 conversion.
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-2000}
rounds=${2:-7}
build=build/bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DLCT_BUILD_TESTS=OFF -DLCT_BUILD_BENCH=ON \
    -DLCT_BUILD_GUI=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target lancitong-cli make_articles >/dev/null
cli="$PWD/$build/cli/lancitong-cli"

# A tmpfs of its own when one can be mounted (as root), so that no earlier
# files slow this run; else /dev/shm where it is one; else a folder of the build.
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
"$build/bench/make_articles" "$work/in" "$count" >/dev/null
# 10,000 keywords of two to four characters; a few of them occur in the articles.
awk 'BEGIN {
    srand(7); print "天气"; print "公园"; print "散步"; print "标点符号"
    for (i = 0; i < 9996; i++) {
        w = ""; n = 2 + int(rand() * 3)
        for (j = 0; j < n; j++) w = w sprintf("%c", 0x4E00 + int(rand() * 20000))
        print w
    }
}' >"$work/keywords.txt"

now() { date +%s.%N; }

# Seconds that one run of "$@" takes.
seconds() {
    local start
    start=$(now)
    "$@" >/dev/null 2>&1 || true
    awk -v a="$start" -v b="$(now)" 'BEGIN { printf "%.4f", b - a }'
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Interleaved rounds of cp -r and one batch; prints the median ratio and times.
# Every round writes into fresh folders (earlier results are moved aside and
# deleted only after the last round, since deleting thousands of files slows
# the creation of the next ones), and the two commands take turns going first.
measure() {
    local name=$1
    shift
    local ratios=() copies=() batches=()
    for ((r = 0; r < rounds; r++)); do
        local copy batch
        if ((r % 2)); then
            copy=$(seconds cp -r "$work/in" "$work/copy.$r")
            batch=$(seconds "$cli" batch --ini "$work/none.ini" --seed 1 "$@" "$work/in")
        else
            batch=$(seconds "$cli" batch --ini "$work/none.ini" --seed 1 "$@" "$work/in")
            copy=$(seconds cp -r "$work/in" "$work/copy.$r")
        fi
        mv "$work/in/关键词插入结果" "$work/results.$r"
        copies+=("$copy")
        batches+=("$batch")
        ratios+=("$(awk -v b="$batch" -v c="$copy" 'BEGIN { printf "%.3f", b / c }')")
    done
    rm -rf "$work"/copy.* "$work"/results.*
    printf '%-28s cp -r %6.3f s   batch %6.3f s   ratio %5.2f\n' "$name" \
        "$(printf '%s\n' "${copies[@]}" | median)" "$(printf '%s\n' "${batches[@]}" | median)" \
        "$(printf '%s\n' "${ratios[@]}" | median)"
}

printf 'articles: %d of about 8 KB in %s, %d rounds, medians\n' "$count" "$base" "$rounds"
measure "defaults, --jobs 1" --jobs 1
measure "defaults, --jobs 2" --jobs 2
measure "replace, 10,000 keywords" --jobs 2 --mode replace --set "编辑框关键词列表=@$work/keywords.txt"
measure "简到繁, --jobs 2" --jobs 2 --set 组合框转换繁简体=2

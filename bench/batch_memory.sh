#!/usr/bin/env bash
# Peak memory (maximum resident set, from /usr/bin/time -v) of
# `lancitong-cli batch` over a few big articles with 1, 2 and 8 jobs, and each
# peak as a multiple of the one-job peak: reading ahead must not hold more big
# articles as threads are added.
#   bench/batch_memory.sh [COUNT] [MB]   (default 6 articles of 150 MB)
# CLI=path runs another build of lancitong-cli instead of building one.
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-6}
megabytes=${2:-150}
build=build/bench
if [ -z "${CLI:-}" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DLCT_BUILD_TESTS=OFF -DLCT_BUILD_BENCH=ON \
        -DLCT_BUILD_GUI=OFF >/dev/null
    cmake --build "$build" -j"$(nproc)" --target lancitong-cli >/dev/null
    CLI="$PWD/$build/cli/lancitong-cli"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/lct-memory-XXXXXX")
trap 'rm -rf "$work"' EXIT
# UTF-8 with LF line breaks (decoded to GBK and turned to CR LF on reading, as
# most articles on this platform are), and GBK with CR LF (read as it is).
line='<p>今天的天气很好，我们一起去公园散步。The quick brown fox jumps over the lazy dog!</p>'
make() {
    rm -rf "$work/in"
    mkdir "$work/in"
    { yes "$line" || true; } | head -c "$((megabytes << 20))" | "$@" >"$work/in/1.txt"
    for ((i = 2; i <= count; i++)); do cp "$work/in/1.txt" "$work/in/$i.txt"; done
}

# Peak resident kilobytes of one batch with $1 jobs (its results removed after).
peak() {
    /usr/bin/time -v "$CLI" batch --ini "$work/none.ini" --seed 1 --jobs "$1" "$work/in" \
        2>&1 >/dev/null | awk -F': ' '/Maximum resident set size/ { print $2 }'
    rm -rf "$work/in/关键词插入结果"
}

for kind in utf-8 gbk; do
    if [ "$kind" = utf-8 ]; then make cat; else make sh -c 'iconv -f UTF-8 -t GBK | sed "s/\$/\r/"'; fi
    echo "$count articles of $megabytes MB, $kind"
    base=$(peak 1)
    printf '  jobs 1: %5d MB peak\n' "$((base / 1024))"
    for jobs in 2 8; do
        kb=$(peak "$jobs")
        printf '  jobs %d: %5d MB peak, %.2f times jobs 1\n' "$jobs" "$((kb / 1024))" \
            "$(awk -v a="$kb" -v b="$base" 'BEGIN { print a / b }')"
    done
done

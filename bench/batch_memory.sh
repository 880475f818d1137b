#!/usr/bin/env bash
# Peak memory (maximum resident set, from /usr/bin/time -v) of
# `lancitong-cli batch` over several big articles with 1, 2 and 8 jobs, each
# peak as a multiple of the one-job peak (reading ahead must not hold more big
# articles as threads are added). One article's peak against its size, per
# mode and encoding, is bench/big_article_memory.sh's.
#   bench/batch_memory.sh [COUNT BIG_MB]   (default: 6 articles of 150 MB)
# The articles come from bench/make_corpus: HTML in UTF-8 with LF line breaks
# (turned to CR LF and GBK on reading, as most articles on this platform are)
# and in GBK with CR LF (read as it is). CLI=path runs another build of
# lancitong-cli; BUILD_JOBS sets the build's parallel jobs (nproc).
set -euo pipefail
export LC_ALL=C
cd "$(dirname "$0")/.."
count=${1:-6}
big_megabytes=${2:-150}
source bench/build.sh
# GNU time (Debian's `time` package), a need of this script only.
[ -x /usr/bin/time ] || scripts/install-deps
targets=(make_corpus)
[ -n "${CLI:-}" ] || targets+=(lancitong-cli)
build_bench "${targets[@]}"
CLI=${CLI:-$PWD/$build/cli/lancitong-cli}
make_corpus="$PWD/$build/bench/make_corpus"

work=$(mktemp -d "${TMPDIR:-/tmp}/lct-memory-XXXXXX")
trap 'rm -rf "$work"' EXIT

fail() {
    echo "batch_memory: $*" >&2
    exit 1
}

# Peak resident kilobytes of one batch over $work/in (its results removed after).
peak() {
    /usr/bin/time -v -o "$work/time.txt" "$CLI" batch --ini "$work/none.ini" --seed 1 "$@" \
        "$work/in" >"$work/log" 2>&1 || { tail -n 5 "$work/log" >&2 && fail "batch $* failed"; }
    [ -n "$(ls -A "$work/in/关键词插入结果")" ] || fail "batch $* wrote nothing"
    rm -rf "$work/in/关键词插入结果"
    awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time.txt"
}

# make FILES MB KIND: FILES copies of one generated article in $work/in.
make() {
    local files=$1 mb=$2 kind=$3 i
    rm -rf "$work/in"
    mkdir "$work/in"
    "$make_corpus" article "$work/in/1.htm" "$((mb << 20))" "$kind"
    for ((i = 2; i <= files; i++)); do cp "$work/in/1.htm" "$work/in/$i.htm"; done
}

for kind in utf-8 gbk; do
    make "$count" "$big_megabytes" "$kind"
    echo "$count articles of $big_megabytes MB, $kind, the window's defaults"
    base=$(peak --jobs 1)
    printf '  jobs 1: %5d MB peak\n' "$((base / 1024))"
    for jobs in 2 8; do
        kb=$(peak --jobs "$jobs")
        printf '  jobs %d: %5d MB peak, %.2f times jobs 1\n' "$jobs" "$((kb / 1024))" \
            "$(awk -v a="$kb" -v b="$base" 'BEGIN { print a / b }')"
    done
done

#!/usr/bin/env bash
# Peak memory of one big article through `lancitong-cli batch --jobs 1`, as a
# multiple of the article's size on disk (maximum resident set from
# /usr/bin/time -v, median of the rounds and their spread), in every mode and
# in the encodings articles come in. The window's defaults otherwise.
#   bench/big_article_memory.sh [MB] [ROUNDS]   (default 40 MB, 3 rounds)
# CLI=path runs another build of lancitong-cli instead of building one.
# Inputs are made by Python's own codecs, whatever the locale; they and the
# results live in a folder on /dev/shm (a tmpfs) that is removed at the end.
set -euo pipefail
export LC_ALL=C
cd "$(dirname "$0")/.."
megabytes=${1:-40}
rounds=${2:-3}
source bench/build.sh
if [ -z "${CLI:-}" ]; then
    build_bench lancitong-cli
    CLI="$PWD/$build/cli/lancitong-cli"
fi

shm=/dev/shm
[ -d "$shm" ] && [ -w "$shm" ] || shm=${TMPDIR:-/tmp}
work=$(mktemp -d "$shm/lct-big-article-XXXXXX")
trap 'rm -rf "$work"' EXIT

# One article per kind, each about MB megabytes in its own encoding: an HTML
# page of paragraphs of Chinese with some ASCII and a link each. GBK, Big5 and
# UTF-16LE (with its mark) have CR LF line breaks, UTF-8 (no mark) LF alone, as
# files on this platform mostly do; Big5 gets traditional characters.
python3 - "$work" "$megabytes" <<'EOF'
import gzip, os, random, sys
work, size = sys.argv[1], int(sys.argv[2]) << 20
simplified = "今天的天气很好我们一起去公园散步中文与混排标点符号也要处理最后一句话发展经济国家人民学习工作时间问题"
traditional = "今天的天氣很好我們一起去公園散步中文與混排標點符號也要處理最後一句話發展經濟國家人民學習工作時間問題"
kinds = {
    "gbk": ("gbk", "\r\n", simplified, b""),
    "utf-8": ("utf-8", "\n", simplified, b""),
    "utf-16le": ("utf-16-le", "\r\n", simplified, b"\xff\xfe"),
    "big5": ("big5", "\r\n", traditional, b""),
}
for name, (codec, newline, chars, mark) in kinds.items():
    rng = random.Random(27)
    pieces = [mark, ("<html><head><title>大文章</title></head><body>" + newline).encode(codec)]
    total = sum(map(len, pieces))
    n = 0
    while total < size:
        words = "".join(rng.choice(chars) for _ in range(rng.randint(20, 60)))
        line = (f"<p>{words}，The quick brown fox {n}。"
                f"<a href=\"https://example.com/{n}\">{words[:4]}</a>！</p>{newline}")
        piece = line.encode(codec)
        pieces.append(piece)
        total += len(piece)
        n += 1
    pieces.append(("</body></html>" + newline).encode(codec))
    data = b"".join(pieces)
    outputs = [("htm", data)] + ([("htm.gz", gzip.compress(data, 6))] if name == "gbk" else [])
    for suffix, payload in outputs:
        folder = f"{work}/{name}.{suffix}"
        os.makedirs(folder)
        open(f"{folder}/article.{suffix}", "wb").write(payload)
EOF

# Peak resident bytes of one batch over folder $1 with the options that follow.
peak() {
    local folder=$1
    shift
    local kb
    kb=$(/usr/bin/time -v "$CLI" batch --ini "$work/none.ini" --seed 1 --jobs 1 "$@" "$folder" \
        2>&1 >/dev/null | awk -F': ' '/Maximum resident set size/ { print $2 }')
    rm -rf "$folder/关键词插入结果"
    echo $((kb * 1024))
}

# Median and spread over the rounds of peak / size for one row.
row() {
    local label=$1 kind=$2
    shift 2
    local folder="$work/$kind"
    # A gzip article counts by its inflated size, which is what is worked on.
    local size
    case $kind in
    *.gz) size=$(gzip -dc "$folder"/article.* | wc -c) ;;
    *) size=$(stat -c %s "$folder"/article.*) ;;
    esac
    local ratios=()
    for ((r = 0; r < rounds; r++)); do
        ratios+=("$(awk -v p="$(peak "$folder" "$@")" -v s="$size" 'BEGIN { printf "%.3f", p / s }')")
    done
    printf '%s\n' "${ratios[@]}" | sort -n | awk -v label="$label" -v kind="$kind" -v mb="$size" '
        { r[NR] = $1 }
        END {
            m = NR % 2 ? r[(NR + 1) / 2] : (r[NR / 2] + r[NR / 2 + 1]) / 2
            printf "%-12s %6.1f MB  %5.2fx  (%.2f-%.2f)  %s\n", kind, mb / 1048576, m, r[1], r[NR], label
        }'
}

tiny="$work/tiny"
mkdir "$tiny"
printf '<p>短文。</p>\n' >"$tiny/article.htm"
echo "one article, batch --jobs 1: peak resident set / article size, median of $rounds rounds"
echo "(a tiny article peaks at $(($(peak "$tiny") >> 20)) MB: the program itself)"
printf '%-12s %9s  %6s  %11s  %s\n' input size peak spread mode
for kind in gbk.htm utf-8.htm utf-16le.htm big5.htm gbk.htm.gz; do
    row insert "$kind" --mode insert
done
for kind in gbk.htm utf-8.htm; do
    row replace "$kind" --mode replace
    row shuffle "$kind" --mode shuffle
    row 简到繁 "$kind" --mode insert --set 组合框转换繁简体=2
done

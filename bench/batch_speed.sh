#!/usr/bin/env bash
# Times `lancitong-cli batch` against `cp -r` of the same articles, and its
# script conversion against the `opencc` command on the same file, and prints
# for each row the median of the per-round ratios with their spread.
#   bench/batch_speed.sh [ROUNDS]          (default 11)
# Environment: COUNT articles (2000), JOBS for the rows after the first two (1),
# CHAINS of script conversion to time (all eight), ROWS an extended regular
# expression choosing rows by name (all), BUILD_JOBS for the build (nproc).
#
# How it keeps the reference honest:
# - everything runs on a tmpfs mounted for the run (as root; otherwise a fresh
#   folder under /dev/shm, and it says so), unmounted on exit;
# - the inputs come from bench/make_corpus (a fixed generator, so the same
#   bytes in any locale), and bench/corpus_kinds.py counts the articles by kind
#   from their bytes: the run stops when the corpus is not what was asked;
# - keyword lists hold distinct words (counted with `LC_ALL=C sort -u`);
# - each round has two fresh copies of the corpus made before the timed part,
#   one for the program (its results go into it) and one for the copy, each
#   holding the articles alone (counted); outputs go to fresh folders;
# - nothing is deleted inside a row; a row's folders are deleted after it, then
#   a pause, before the next row's copies are made;
# - the program and the reference take turns at going first; the ratio is
#   taken per round, and the median, quartiles and extremes are printed;
# - with `--jobs 2` the reference is two `cp` in parallel, each copying every
#   other file (in name order) into one fresh folder.
set -euo pipefail
export LC_ALL=C
cd "$(dirname "$0")/.."
rounds=${1:-11}
count=${COUNT:-2000}
jobs=${JOBS:-1}
chains=${CHAINS:-t2s s2t s2tw s2twp s2hk tw2s tw2sp hk2s}
rows=${ROWS:-.}
source bench/build.sh
build_bench lancitong-cli make_corpus
cli="$PWD/$build/cli/lancitong-cli"
make_corpus="$PWD/$build/bench/make_corpus"
for tool in opencc python3; do
    command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/install-deps" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/lct-speed-XXXXXX")
mounted=no
cleanup() {
    cd /
    if [ "$mounted" = yes ]; then
        umount "$work" || umount -l "$work"
        rmdir "$work"
        mounted=gone
    elif [ "$mounted" = no ]; then
        rm -rf "$work"
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM
if mount -t tmpfs -o size=6g,mode=0700 lct-speed "$work" 2>/dev/null; then
    mounted=yes
    place="a tmpfs mounted for the run"
else
    rmdir "$work"
    if [ "$(stat -f -c %T /dev/shm 2>/dev/null)" != tmpfs ]; then
        echo "cannot mount a tmpfs and /dev/shm is not one: no place to time in" >&2
        exit 1
    fi
    work=$(mktemp -d /dev/shm/lct-speed-XXXXXX)
    place="a fresh folder under /dev/shm (a tmpfs could not be mounted: not root?)"
    echo "note: $place" >&2
fi

fail() {
    echo "batch_speed: $*" >&2
    exit 1
}

files_in() { find "$1" -mindepth 1 -maxdepth 1 | wc -l; }

# make_corpus's "KIND COUNT" lines must match corpus_kinds.py's, and the
# folder must hold nothing else.
corpus() {
    local folder=$1
    shift
    local asked found
    asked=$("$make_corpus" articles "$folder" "$count" "$@" | sort)
    found=$(python3 bench/corpus_kinds.py "$folder" data/common-2500.txt 2>"$work/sizes" | sort)
    if [ "$asked" != "$found" ] || [ "$(files_in "$folder")" -ne "$count" ]; then
        printf 'asked:\n%s\nfound:\n%s\n' "$asked" "$found" >&2
        fail "the corpus in $folder is not what was asked"
    fi
    awk -v n="$count" '{ printf "%s %s (%.0f %%)", (NR > 1 ? "," : ""), $1 " " $2, 100 * $2 / n }
        END { print "" }' <<<"$found"
    sed 's/^/  /' "$work/sizes"
}

keywords() {
    local file=$1 wanted=$2 distinct
    "$make_corpus" keywords "$file" "$wanted"
    distinct=$(sort -u "$file" | wc -l)
    [ "$distinct" -ge "$wanted" ] || fail "$file holds $distinct distinct lines, not $wanted"
    echo "keywords: $distinct distinct lines of 2 to 4 characters in $(basename "$file")"
}

echo "machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at the start"
echo "place: $place; $rounds rounds per row, interleaved; $(cp --version | head -n1)"
mkdir "$work/corpus"
echo "mixed corpus: $count articles of about 8 KB (gzip: 8 KB inflated):"
corpus "$work/corpus/mixed"
echo "gzip corpus (gzip in, gzip out):"
corpus "$work/corpus/gzip" gzip
echo "Big5 corpus:"
corpus "$work/corpus/big5" big5
keywords "$work/keywords-10000.txt" 10000
keywords "$work/keywords-100000.txt" 100000

# Every other file of the mixed corpus, in name order, for the two copies.
half_a=()
half_b=()
index=0
for f in "$work/corpus/mixed"/*; do
    if ((index++ % 2)); then half_b+=("$(basename "$f")"); else half_a+=("$(basename "$f")"); fi
done

# Microseconds that "$@" takes, into $elapsed, and the processor time that it
# and its children use (user and system), into $cpu; its output goes to
# $work/last.log. Bash's own `time` measures, so no process is added.
elapsed=0
cpu=0
timed() {
    local start end user system TIMEFORMAT='%3U %3S'
    start=$EPOCHREALTIME
    if ! { time "$@" >"$work/last.log" 2>&1; } 2>"$work/cpu"; then
        tail -n 5 "$work/last.log" >&2
        fail "failed: $*"
    fi
    end=$EPOCHREALTIME
    elapsed=$((${end//[.,]/} - ${start//[.,]/}))
    read -r user system <"$work/cpu"
    cpu=$((10#${user//[.,]/} + 10#${system//[.,]/}))
}

copy_whole() { cp -r "$1" "$2"; }

copy_halves() {
    local a b
    cp -- "${half_a[@]/#/$1/}" "$2/" &
    a=$!
    cp -- "${half_b[@]/#/$1/}" "$2/" &
    b=$!
    wait "$a" && wait "$b"
}

# "median [q1–q3] min–max" of numbers, one a line.
spread() {
    sort -g | awk '
        function at(q) { i = 1 + q * (NR - 1); j = int(i); return v[j] + (i - j) * (v[j + 1] - v[j]) }
        { v[NR] = $1 }
        END { v[NR + 1] = v[NR]; printf "%6.2f  [%.2f-%.2f]  %.2f-%.2f", at(0.5), at(0.25), at(0.75), v[1], v[NR] }'
}

seconds_median() { awk '{ print $1 / 1e6 }' | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# NAME padded to 30 columns (a Chinese character takes three bytes and two columns).
name_column() {
    local plain=${1//[^[:ascii:]]/}
    printf '%s%*s' "$1" $((30 - ${#plain} - (${#1} - ${#plain}) * 2 / 3)) ""
}

header() {
    printf '\n%s %9s %9s  %-36s %s\n' "$(name_column "$1")" "$2 s" "$3 s" \
        "$4 median [quartiles] min-max" "processor time $4"
}

# Per-round quotients A/B of two lists of numbers given as words.
quotients() {
    awk -v a="$1" -v b="$2" 'BEGIN { n = split(a, x); split(b, y); for (i = 1; i <= n; i++) if (y[i] > 0) print x[i] / y[i] }'
}

# row NAME REFERENCE CORPUS ARGS...: REFERENCE is copy_whole or copy_halves.
row() {
    local name=$1 reference=$2 corpus=$3
    shift 3
    [[ $name =~ $rows ]] || return 0
    local dir="$work/row" expected r
    expected=$(files_in "$corpus")
    mkdir "$dir"
    for ((r = 0; r < rounds; r++)); do
        cp -r "$corpus" "$dir/src.$r"
        cp -r "$corpus" "$dir/ref.$r"
        [ "$reference" = copy_halves ] && mkdir "$dir/copy.$r"
        [ "$(files_in "$dir/src.$r")" -eq "$expected" ] && [ "$(files_in "$dir/ref.$r")" -eq "$expected" ] ||
            fail "a fresh copy does not hold the $expected articles alone"
    done
    sync
    sleep 2
    local programs=() references=() program_cpu=() reference_cpu=()
    for ((r = 0; r < rounds; r++)); do
        local run=("$cli" batch --ini "$work/none.ini" --seed 1 "$@" "$dir/src.$r")
        if ((r % 2)); then
            timed "$reference" "$dir/ref.$r" "$dir/copy.$r" && references+=("$elapsed") reference_cpu+=("$cpu")
            timed "${run[@]}" && programs+=("$elapsed") program_cpu+=("$cpu")
        else
            timed "${run[@]}" && programs+=("$elapsed") program_cpu+=("$cpu")
            timed "$reference" "$dir/ref.$r" "$dir/copy.$r" && references+=("$elapsed") reference_cpu+=("$cpu")
        fi
        [ "$(files_in "$dir/src.$r/关键词插入结果")" -eq "$expected" ] ||
            fail "$name: the batch did not write $expected results"
        [ "$(files_in "$dir/copy.$r")" -eq "$expected" ] || fail "$name: the copy is short"
    done
    printf '%s %9.3f %9.3f  %-36s %s\n' "$(name_column "$name")" \
        "$(printf '%s\n' "${references[@]}" | seconds_median)" \
        "$(printf '%s\n' "${programs[@]}" | seconds_median)" \
        "$(quotients "${programs[*]}" "${references[*]}" | spread)" \
        "$(quotients "${program_cpu[*]}" "${reference_cpu[*]}" | spread)"
    rm -rf "$dir"
    sync
    sleep 2
}

header "batch against cp" "cp" "batch" "batch/cp"
echo "(the rows after the second run with --jobs $jobs, against one cp -r)"
mixed="$work/corpus/mixed"
row "defaults, --jobs 1" copy_whole "$mixed" --jobs 1
row "defaults, --jobs 2 (2 cp)" copy_halves "$mixed" --jobs 2
row "replace, 10,000 keywords" copy_whole "$mixed" --jobs "$jobs" --mode replace \
    --set "编辑框关键词列表=@$work/keywords-10000.txt"
row "replace, 100,000 keywords" copy_whole "$mixed" --jobs "$jobs" --mode replace \
    --set "编辑框关键词列表=@$work/keywords-100000.txt"
row "shuffle" copy_whole "$mixed" --jobs "$jobs" --mode shuffle
row "简到繁" copy_whole "$mixed" --jobs "$jobs" --set 组合框转换繁简体=2
row "gzip only" copy_whole "$work/corpus/gzip" --jobs "$jobs"
row "Big5 only" copy_whole "$work/corpus/big5" --jobs "$jobs"

# Script conversion of one 5 MB UTF-8 text, nothing inserted, against the
# opencc command with the chain's configuration. A chain is the combo item of
# 组合框转换繁简体 that selects it and the script of the text it takes.
chain_item() {
    case $1 in
        t2s) echo 1 ;;
        s2t) echo 2 ;;
        s2tw) echo 3 ;;
        s2twp) echo 4 ;;
        s2hk) echo 5 ;;
        tw2s) echo 6 ;;
        tw2sp) echo 7 ;;
        hk2s) echo 8 ;;
        *) fail "unknown chain $1" ;;
    esac
}
chain_script() { if [[ $1 == s* ]]; then echo simplified; else echo traditional; fi; }

convert_row() {
    local chain=$1 item script dir="$work/conversion" r
    item=$(chain_item "$chain")
    script=$(chain_script "$chain")
    [[ "转换 $chain" =~ $rows ]] || return 0
    mkdir "$dir" "$dir/opencc"
    # opencc converts with the program's dictionaries, so that the texts compare.
    python3 bench/opencc_config.py data/opencc "$chain" "$dir/opencc"
    "$make_corpus" text "$dir/text.txt" 5000000 "$script"
    local bytes
    bytes=$(stat -c %s "$dir/text.txt")
    for ((r = 0; r < rounds; r++)); do
        mkdir "$dir/$r"
        cp "$dir/text.txt" "$dir/$r/text.txt"
    done
    sync
    sleep 2
    local programs=() openccs=() program_cpu=() opencc_cpu=() same=yes
    for ((r = 0; r < rounds; r++)); do
        local run=("$cli" batch --ini "$work/none.ini" --jobs 1 --mode insert
            --set 选择框插入标题=假 --set 选择框插入内容=假 --set "组合框转换繁简体=$item" "$dir/$r/text.txt")
        local reference=(opencc -c "$dir/opencc/$chain.json" -i "$dir/$r/text.txt" -o "$dir/$r/opencc.txt")
        if ((r % 2)); then
            timed "${reference[@]}" && openccs+=("$elapsed") opencc_cpu+=("$cpu")
            timed "${run[@]}" && programs+=("$elapsed") program_cpu+=("$cpu")
        else
            timed "${run[@]}" && programs+=("$elapsed") program_cpu+=("$cpu")
            timed "${reference[@]}" && openccs+=("$elapsed") opencc_cpu+=("$cpu")
        fi
        # The result may start with a byte-order mark, which opencc does not write.
        local result=("$dir/$r/关键词插入结果"/*) skip=1
        [ ${#result[@]} -eq 1 ] || fail "转换 $chain: expected one result"
        [ "$(head -c 3 "${result[0]}" | od -An -tx1 | tr -d ' ')" = efbbbf ] && skip=4
        tail -c +"$skip" "${result[0]}" | cmp -s - "$dir/$r/opencc.txt" || same=no
    done
    local p o
    p=$(printf '%s\n' "${programs[@]}" | seconds_median)
    o=$(printf '%s\n' "${openccs[@]}" | seconds_median)
    printf '%s %9.3f %9.3f  %-36s %s\n  %.1f against %.1f MB/s; same text: %s\n' \
        "$(name_column "转换 $chain, $((bytes / 1000000)) MB UTF-8")" "$o" "$p" \
        "$(quotients "${openccs[*]}" "${programs[*]}" | spread)" \
        "$(quotients "${opencc_cpu[*]}" "${program_cpu[*]}" | spread)" \
        "$(awk -v b="$bytes" -v s="$p" 'BEGIN { print b / s / 1e6 }')" \
        "$(awk -v b="$bytes" -v s="$o" 'BEGIN { print b / s / 1e6 }')" "$same"
    rm -rf "$dir"
    sync
    sleep 2
    [ "$same" = yes ] || fail "转换 $chain: the result is not opencc's text"
}

header "conversion against opencc" "opencc" "batch" "opencc/batch"
for chain in $chains; do convert_row "$chain"; done

# What a conversion adds to the start of a run: a tiny preview with the chain
# against the same preview without conversion, each timed over ten runs.
previews() {
    local item=$1 i
    for ((i = 0; i < 10; i++)); do
        "$cli" preview --ini "$work/none.ini" --set "组合框转换繁简体=$item" --title 标题 \
            --content-file "$work/tiny.txt" >/dev/null
    done
}
startup_row() {
    local chain=$1 item r
    item=$(chain_item "$chain")
    [[ "启动 $chain" =~ $rows ]] || return 0
    local plain=() converting=() plain_cpu=() converting_cpu=()
    for ((r = 0; r < rounds; r++)); do
        if ((r % 2)); then
            timed previews "$item" && converting+=("$elapsed") converting_cpu+=("$cpu")
            timed previews 0 && plain+=("$elapsed") plain_cpu+=("$cpu")
        else
            timed previews 0 && plain+=("$elapsed") plain_cpu+=("$cpu")
            timed previews "$item" && converting+=("$elapsed") converting_cpu+=("$cpu")
        fi
    done
    printf '%s %9.4f %9.4f  %-36s %s\n' "$(name_column "启动 $chain, preview")" \
        "$(printf '%s\n' "${plain[@]}" | seconds_median | awk '{ print $1 / 10 }')" \
        "$(printf '%s\n' "${converting[@]}" | seconds_median | awk '{ print $1 / 10 }')" \
        "$(quotients "${converting[*]}" "${plain[*]}" | spread)" \
        "$(quotients "${converting_cpu[*]}" "${plain_cpu[*]}" | spread)"
}
printf '<p>简体中文的软件和鼠标，出租车。</p>\n' >"$work/tiny.txt"
header "start-up with conversion" "plain" "convert" "convert/plain"
for chain in $chains; do startup_row "$chain"; done
echo
echo "load average $(cut -d' ' -f1-3 /proc/loadavg) at the end"

#!/usr/bin/env bash
# Makes the Debian package of a build folder with CPack, unpacks it into a
# temporary root with dpkg -x, checks its fields and files, validates its menu
# entry, AppStream entry, manual pages, copyright and changelog, looks at how
# the binaries are stripped and hardened, and runs the unpacked programs:
# lancitong --version and --help without a display, and lancitong-cli --version,
# a preview, and a settings save from a program folder the user cannot write.
#
#   package_test.sh BUILD_FOLDER VERSION HARDENED(ON|OFF)
#
# Exits 77 (CTest: skipped) when a tool it needs is missing.
set -euo pipefail
build=$(cd "$1" && pwd)
version=$2
hardened=${3:-OFF}
source_dir=$(cd "$(dirname "$0")/../.." && pwd)

for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli readelf; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed (scripts/install-deps installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}
expect_file() {
  [ -f "$root/$1" ] || fail "the package lacks /$1"
}

# ---- Make the package and look at it ----

if ! cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  exit 1
fi
deb=$(find "$work/out" -maxdepth 1 -name 'lancitong_*.deb' | head -n 1)
[ -n "$deb" ] || { echo "FAILED: cpack made no lancitong_*.deb" >&2; ls "$work/out" >&2; exit 1; }
echo "package: $(basename "$deb")"

[ "$(dpkg-deb -f "$deb" Package)" = lancitong ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version $(dpkg-deb -f "$deb" Version) is not $version"
depends=$(dpkg-deb -f "$deb" Depends)
echo "depends: $depends"
for needed in libqt6widgets6 libqt6core6 libicu libpcre2-8 qt6-translations-l10n; do
  [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed"
done
[[ "$depends" != *opencc* ]] || fail "Depends names OpenCC, whose data the programs carry"
[[ "$(dpkg-deb -f "$deb" Recommends)" == *fonts-noto-cjk* ]] || fail "Recommends lacks fonts-noto-cjk"
ddeb=${deb%/*}/lancitong-dbgsym_${deb#*/lancitong_}
ddeb=${ddeb%.deb}.ddeb
[ -f "$ddeb" ] || fail "no debugging symbols package $(basename "$ddeb")"

root=$work/root
dpkg-deb -x "$deb" "$root"
app_id=cn.qinghe.lancitong
expect_file usr/bin/lancitong
expect_file usr/bin/lancitong-cli
expect_file "usr/share/applications/$app_id.desktop"
expect_file "usr/share/metainfo/$app_id.metainfo.xml"
expect_file "usr/share/icons/hicolor/scalable/apps/$app_id.svg"
for size in 16 22 24 32 48 64 128 256; do
  expect_file "usr/share/icons/hicolor/${size}x$size/apps/$app_id.png"
done
expect_file usr/share/man/man1/lancitong-cli.1.gz
expect_file usr/share/man/man1/lancitong.1.gz
expect_file usr/share/doc/lancitong/copyright
expect_file usr/share/doc/lancitong/changelog.gz

# ---- Menu entry and AppStream entry ----

desktop-file-validate "$root/usr/share/applications/$app_id.desktop" || fail "desktop-file-validate"
grep -q '^Exec=lancitong$' "$root/usr/share/applications/$app_id.desktop" || fail "Exec line"
grep -q '^Name\[zh_CN\]=青禾·澜词通$' "$root/usr/share/applications/$app_id.desktop" ||
  fail "Chinese name"
metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo release version"
grep -q '<screenshot type="default">' "$metainfo" || fail "metainfo screenshot"

# ---- Manual pages, copyright, changelog ----
# (Outputs are read whole before matching: grep -q at the end of a pipe may
# close it early and fail the pipe.)

for page in lancitong lancitong-cli; do
  text=$(zcat "$root/usr/share/man/man1/$page.1.gz")
  [[ "$text" == *"lancitong $version"* ]] || fail "$page(1) version"
  # Every page named under SEE ALSO is in the package.
  for named in $(sed -n '/^\.SH SEE ALSO/,/^\.SH/s/^\.BR \([a-z\\-]*\) (1).*/\1/p' <<<"$text" |
    tr -d '\\'); do
    [ -f "$root/usr/share/man/man1/$named.1.gz" ] || fail "$page(1) names $named(1), not shipped"
  done
done
# $text holds lancitong-cli(1), the last page read.
[[ "$text" == *$'\n.B lancitong-cli tool\n'* ]] || fail "lancitong-cli(1) lacks the tool subcommand"
copyright=$root/usr/share/doc/lancitong/copyright
[ "$(head -n 1 "$copyright")" = \
  "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ] ||
  fail "copyright is not machine-readable"
for table in "$source_dir"/data/*.txt; do
  grep -q "^Files:.* data/${table##*/}" "$copyright" || fail "copyright omits data/${table##*/}"
done
[ "$(zcat "$root/usr/share/doc/lancitong/changelog.gz" | head -n 1)" = \
  "lancitong ($version) stable; urgency=medium" ] || fail "changelog entry"

# ---- The binaries: stripped, symbols apart, hardened when the build is ----

for program in lancitong lancitong-cli; do
  binary=$root/usr/bin/$program
  sections=$(readelf -S -W "$binary")
  for unneeded in .symtab .debug_info .comment; do
    [[ "$sections" != *" $unneeded "* ]] || fail "$program keeps $unneeded"
  done
  if [ "$hardened" = ON ]; then
    [[ "$(readelf -h "$binary")" =~ Type:\ *DYN ]] || fail "$program is not PIE"
    [[ "$(readelf -d "$binary")" =~ FLAGS.*BIND_NOW ]] || fail "$program lacks -z now"
    [[ "$(readelf -l -W "$binary")" == *GNU_RELRO* ]] || fail "$program lacks relro"
    [[ "$(readelf --dyn-syms -W "$binary")" == *__stack_chk_fail* ]] ||
      fail "$program lacks the stack protector"
  fi
done

# ---- The unpacked window program, without a display ----

gui=$root/usr/bin/lancitong
out=$(env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY ASAN_OPTIONS=detect_leaks=0 \
  "$gui" --version) || fail "lancitong --version exit status"
[ "$out" = "lancitong $version" ] || fail "lancitong --version printed '$out'"
out=$(env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY ASAN_OPTIONS=detect_leaks=0 \
  "$gui" --help) || fail "lancitong --help exit status"
[[ "$out" == *"lancitong --help | --version"* ]] || fail "lancitong --help printed '$out'"

# ---- The unpacked command line ----

cli=$root/usr/bin/lancitong-cli
out=$("$cli" --version) || fail "--version exit status"
[ "$out" = "lancitong-cli $version" ] || fail "--version printed '$out'"

mkdir -p "$work/home" "$work/config"
chmod 755 "$work"
chmod 777 "$work/home" "$work/config"
export HOME=$work/home XDG_CONFIG_HOME=$work/config
printf '<p>第一句。第二句。</p>\n' >"$work/article.html"
out=$("$cli" preview --seed 1 --set '编辑框关键词列表=青禾' --set '编辑框再组合关键词=[*]' \
  --set 组合框标题插入类型=2 --set 编辑框标题间隔符= --title T \
  --content-file "$work/article.html") || fail "preview exit status"
[ "$(printf '%s\n' "$out" | head -n 1)" = "T[青禾]" ] || fail "preview title: $out"
[[ "$(printf '%s\n' "$out" | tail -n +2)" == *"[青禾]"* ]] || fail "preview content: $out"

# An installed copy: the program folder is not the user's to write, so the
# settings go to $XDG_CONFIG_HOME/lancitong/ (root, who may write anything,
# runs this part as the user nobody).
chmod 555 "$root/usr/bin"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
ASAN_OPTIONS=detect_leaks=0 "${as_user[@]}" "$cli" settings --set '编辑框过滤=*.txt|*.htm' ||
  fail "settings exit status"
settings_file=$work/config/lancitong/青禾·澜词通.ini
[ -f "$settings_file" ] || fail "no settings in $work/config/lancitong/"
[ ! -e "$root/usr/bin/青禾·澜词通.ini" ] || fail "settings written beside the installed program"
if [ -f "$settings_file" ]; then
  iconv -f GB18030 -t UTF-8 "$settings_file" | grep -q '^文件过滤=\*\.txt|\*\.htm' ||
    fail "the saved filter"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "the package installs, validates and runs"

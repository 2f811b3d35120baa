#!/usr/bin/env bash
# Installs the build to a temporary prefix and asks the desktop's own tools what they make of it:
# the desktop entry must validate, and GIO (as file managers use it) must give questionnaires
# the program's type by their content, with or without a byte-order mark, and leave any other
# .cfg file alone.
set -euo pipefail
build_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$work/prefix
cmake --install "$build_dir" --prefix "$prefix" >/dev/null
for f in bin/qs_juv bin/qs_juv_check share/applications/qs_juv.desktop \
         share/mime/packages/qs_juv.xml share/icons/hicolor/scalable/apps/qs_juv.svg \
         share/metainfo/ru.juv.qs_juv.metainfo.xml share/man/man1/qs_juv.1.gz share/man/man1/qs_juv_check.1.gz \
         share/man/ru/man1/qs_juv.1.gz share/man/ru/man1/qs_juv_check.1.gz; do
    [ -e "$prefix/$f" ] || fail "not installed: $f"
done
compgen -G "$prefix/lib*/qs_juv/qs_juv_print.so" >/dev/null || compgen -G "$prefix/lib/*/qs_juv/qs_juv_print.so" >/dev/null \
    || fail "not installed: the print module"
"$prefix/bin/qs_juv" --version | grep -qx 'qs_juv 4e' || fail "qs_juv --version"

desktop=$prefix/share/applications/qs_juv.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate"
grep -qx 'Exec=qs_juv %f' "$desktop" || fail "Exec line"
grep -qx 'MimeType=application/x-qs-juv-questionnaire;' "$desktop" || fail "MimeType line"

# What a software centre reads; --no-net: the screenshot's address is not fetched.
appstreamcli validate --no-net "$prefix/share/metainfo/ru.juv.qs_juv.metainfo.xml" || fail "appstreamcli validate"

# The system's database plus ours, in a data folder of this test's own.
data=$work/data
mkdir -p "$data/mime/packages" "$work/home"
cp /usr/share/mime/packages/*.xml "$data/mime/packages/"
cp "$prefix/share/mime/packages/qs_juv.xml" "$data/mime/packages/"
update-mime-database "$data/mime" || fail "update-mime-database"

printf '[Device]\r\nid=50\r\nname=x\r\n' > "$work/plain.cfg"
printf '\xef\xbb\xbf[Device]\r\nid=50\r\n' > "$work/bom.cfg"
printf '[server]\nport=8080\n' > "$work/other.cfg"
printf '# [Device]\n[Device]\n' > "$work/later.cfg"

filetype() {
    XDG_CURRENT_DESKTOP=GNOME XDG_DATA_DIRS=$data XDG_DATA_HOME=$work/home HOME=$work/home \
        xdg-mime query filetype "$1"
}
status=0
for f in plain bom other later; do
    got=$(filetype "$work/$f.cfg")
    echo "xdg-mime query filetype $f.cfg: $got"
    case $f in
        plain|bom) [ "$got" = application/x-qs-juv-questionnaire ] || status=1 ;;
        *) [ "$got" != application/x-qs-juv-questionnaire ] || status=1 ;;
    esac
done
[ $status -eq 0 ] || fail "file types"
echo "install test passed"

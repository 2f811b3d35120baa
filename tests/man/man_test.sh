#!/usr/bin/env bash
# The manual pages and --help name the same options, in every language the pages are written in:
# an option added to one and forgotten in the other fails here.
#   man_test.sh MAN_SOURCE_DIR PROGRAM...
set -euo pipefail
man_dir=$1
shift
status=0

# Named options (not "--" alone) in a text, one a line, sorted.
options_in() { grep -oE '(^|[^[:alnum:]-])--?[a-z][a-z-]*' | sed -E 's/^[^-]*//' | sort -u; }

# The options the OPTIONS section lists: the tag line after each .TP, troff's "\-" made plain.
man_options() {
    awk '/^\.SH/ { in_options = ($0 ~ /OPTIONS|ПАРАМЕТРЫ/); next }
         in_options && tag { print; tag = 0 }
         in_options && /^\.TP/ { tag = 1 }' "$1" | sed 's/\\-/-/g' | options_in
}

for program in "$@"; do
    name=$(basename "$program")
    help=$("$program" --help | options_in)
    [ -n "$help" ] || { echo "FAIL: $name --help names no option"; status=1; }
    for page in "$man_dir"/*/"$name.1.in"; do
        page_options=$(man_options "$page")
        if [ "$help" != "$page_options" ]; then
            echo "FAIL: $name --help and ${page#"$man_dir"/} disagree (< help, > page):"
            diff <(echo "$help") <(echo "$page_options") || true
            status=1
        else
            echo "$name: ${page#"$man_dir"/} and --help name $(echo $help)"
        fi
    done
done
exit $status

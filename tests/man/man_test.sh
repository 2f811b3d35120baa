#!/usr/bin/env bash
# The manual pages and --help name the same options, in every language the pages are written in:
# an option added to one and forgotten in the other fails here. Each page is compared with the
# --help of its own language.
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

# The locale that gives a page's language: English for en, the environment's (Russian) otherwise.
locale_for() { [ "$1" = en ] && echo en_US.UTF-8 || echo "${LC_ALL:-C.UTF-8}"; }

for program in "$@"; do
    name=$(basename "$program")
    for page in "$man_dir"/*/"$name.1.in"; do
        language=$(basename "$(dirname "$page")")
        text=$(LC_ALL=$(locale_for "$language") "$program" --help)
        help=$(options_in <<<"$text")
        [ -n "$help" ] || { echo "FAIL: $name --help names no option"; status=1; }
        # English help has no Cyrillic letter; Russian help has some.
        if LC_ALL=C.UTF-8 grep -qP '\p{Cyrillic}' <<<"$text"; then cyrillic=yes; else cyrillic=no; fi
        if [ "$cyrillic" = "$([ "$language" = en ] && echo yes || echo no)" ]; then
            echo "FAIL: $name --help under $(locale_for "$language") is not in the language of ${page#"$man_dir"/}"
            status=1
        fi
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

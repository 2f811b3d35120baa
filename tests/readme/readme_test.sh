#!/usr/bin/env bash
# The front page names the two commands a newcomer runs, and every relative link on it leads
# somewhere: a moved document or a renamed script must take the page along.
set -u
root=${1:?usage: readme_test.sh SOURCE_DIR}
readme=$root/README.md
status=0
fail() { echo "README.md: $*" >&2; status=1; }

for script in build-and-run.sh build-and-test.sh; do
    grep -q "^    \./$script\$" "$readme" || fail "does not show the command ./$script"
    [ -f "$root/$script" ] && [ -x "$root/$script" ] || fail "$script is missing or not executable"
done

# Inline links and images: ](target) or ](target "title"); anchors and web addresses are skipped.
links=$(grep -o '](\([^)]*\))' "$readme" | sed -e 's/^](//' -e 's/)$//' -e 's/ .*//')
[ -n "$links" ] || fail "has no links"
while IFS= read -r link; do
    case $link in
        http://* | https://* | mailto:* | '#'*) continue ;;
    esac
    target=${link%%#*}
    [ -e "$root/$target" ] || fail "links to $link, which does not exist"
done <<< "$links"

[ "$(wc -l < "$readme")" -le 120 ] || fail "is longer than 120 lines"
exit $status

#!/usr/bin/env bash
# The front page names the two commands a newcomer runs, and every relative link on it leads
# somewhere: a moved document or a renamed script must take the page along.
set -u
root=${1:?usage: readme_test.sh SOURCE_DIR}
readme=$root/README.md
status=0
fail() { echo "readme_test: $*" >&2; status=1; }

for script in build-and-run.sh build-and-test.sh; do
    grep -q "^    \./$script\$" "$readme" || fail "README.md does not show the command ./$script"
    [ -f "$root/$script" ] && [ -x "$root/$script" ] || fail "$script is missing or not executable"
done

# Inline links and images, in README and in every page in docs/, each relative to its own
# folder: ](target) or ](target "title"); anchors and web addresses are skipped.
for page in "$readme" "$root"/docs/*.md; do
    links=$(grep -o '](\([^)]*\))' "$page" | sed -e 's/^](//' -e 's/)$//' -e 's/ .*//')
    [ "$page" != "$readme" ] || [ -n "$links" ] || fail "README.md has no links"
    while IFS= read -r link; do
        case $link in
            '' | http://* | https://* | mailto:* | '#'*) continue ;;
        esac
        [ -e "$(dirname "$page")/${link%%#*}" ] || fail "${page#"$root"/} links to $link, which does not exist"
    done <<< "$links"
done

[ "$(wc -l < "$readme")" -le 120 ] || fail "README.md is longer than 120 lines"
exit $status

#!/usr/bin/env bash
# links_test.sh TOP: checks every relative link in TOP's README.md,
# CONTRIBUTING.md and docs/*.md. The file a link names must exist, and a
# #fragment must be the anchor of one of its headings, as GitHub makes them
# (lower case; spaces to hyphens; punctuation other than hyphens and
# underscores dropped). Links with a scheme (https:, mailto:) are not checked.
set -euo pipefail
top=$1
cd "$top"

# GitHub's anchor of each heading of $1, one a line.
anchors() {
  grep -E '^#{1,6} ' "$1" | sed -E 's/^#+ +//' | tr '[:upper:]' '[:lower:]' |
    sed -E 's/[^a-z0-9 _-]//g; s/ /-/g'
}

bad=0
checked=0
for page in README.md CONTRIBUTING.md docs/*.md; do
  [ -f "$page" ] || { echo "FAIL: $page is missing"; bad=1; continue; }
  dir=$(dirname "$page")
  # Inline links, outside code spans and fenced blocks.
  while IFS= read -r target; do
    case $target in *:*) continue ;; esac
    path=${target%%#*}
    fragment=
    [ "$path" = "$target" ] || fragment=${target#*#}
    file=$page
    [ -z "$path" ] || file=$dir/$path
    checked=$((checked + 1))
    if [ ! -e "$file" ]; then
      echo "FAIL: $page links to $target: $file does not exist"
      bad=1
    elif [ -n "$fragment" ] && ! { [ -f "$file" ] && anchors "$file" | grep -qxF "$fragment"; }; then
      echo "FAIL: $page links to $target: $file has no heading with anchor #$fragment"
      bad=1
    fi
  done < <(awk '/^```/ { fenced = !fenced; next } !fenced' "$page" | sed -E 's/`[^`]*`//g' |
           grep -oE '\]\([^) ]+\)' | sed -E 's/^\]\(//; s/\)$//')
done
echo "$checked relative links checked"
[ "$checked" -gt 0 ] || { echo "FAIL: no links found"; bad=1; }
exit $bad

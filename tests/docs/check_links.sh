#!/bin/sh
# Every relative link in the project's Markdown files names a file that exists,
# and every #anchor a heading of that file. Usage: check_links.sh [ROOT]
root=${1:-$(dirname "$0")/../..}
cd "$root" || exit 2
bad=0

# GitHub's anchor of a heading: lower case, punctuation dropped, spaces as '-'.
anchors() {
    sed -n 's/^#\{1,6\} \(.*\)$/\1/p' "$1" | tr 'A-Z' 'a-z' |
        sed 's/[^[:alnum:]_ -]//g; s/ /-/g'
}

for file in $(find . -path ./build -prune -o -path ./dist -prune -o -path ./node_modules -prune \
                  -o -name '*.md' -print | sort); do
    dir=$(dirname "$file")
    # Links outside fenced code blocks; one per line.
    links=$(awk '/^```/ { fenced = !fenced; next } !fenced' "$file" |
            grep -o '\](\([^)[:space:]]*\))' | sed 's/^](//; s/)$//')
    for link in $links; do
        case $link in http://*|https://*|mailto:*) continue ;; esac
        path=${link%%#*}
        anchor=
        case $link in *'#'*) anchor=${link#*#} ;; esac
        if [ -n "$path" ]; then target=$dir/$path; else target=$file; fi
        if [ ! -e "$target" ]; then
            echo "$file: link to missing $link"; bad=1; continue
        fi
        if [ -n "$anchor" ] && [ "${target%.md}" != "$target" ]; then
            anchors "$target" | grep -qx -- "$anchor" ||
                { echo "$file: no heading for $link"; bad=1; }
        fi
    done
done
[ $bad = 0 ] && echo "all links resolve"
exit $bad

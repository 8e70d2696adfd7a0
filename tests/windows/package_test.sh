#!/usr/bin/env bash
# package_test.sh ZIP NATIVE_BMP2LAND WINE_PREFIX [PAGE]: unpacks the Windows
# zip into a fresh directory, checks that it holds exactly what a Windows user
# gets (with the web page PAGE where the build made one), and converts the
# bundled example there under Wine as README.txt says: the land.dat must be
# the native build's, byte for byte.
set -euo pipefail
zip=$1 native=$2 prefix=$3 page=${4:-}
fail() { echo "FAIL: $*" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

files=$(unzip -Z1 "$zip" | grep -v '/$' | sort | tr '\n' ' ')
expected="README.txt bmp2land.exe examples/level.bmp landinfo.exe "
[ -z "$page" ] || expected="README.txt bmp2land.exe bmp2land.html examples/level.bmp landinfo.exe "
[ "$files" = "$expected" ] || fail "the zip holds $files"

mkdir "$scratch/unpacked" "$scratch/native"
unzip -q "$zip" -d "$scratch/unpacked"
[ "$(grep -c $'\r$' "$scratch/unpacked/README.txt")" = "$(wc -l <"$scratch/unpacked/README.txt")" ] ||
  fail "README.txt has lines that don't end in CRLF"
cmp "$scratch/unpacked/examples/level.bmp" "$(dirname "$0")/../../examples/level.bmp" ||
  fail "examples/level.bmp is not the example"
if [ -n "$page" ]; then
  cmp "$scratch/unpacked/bmp2land.html" "$page" || fail "bmp2land.html is not the page built"
  grep -q '^Open bmp2land.html in a web browser' "$scratch/unpacked/README.txt" ||
    fail "README.txt does not say how to open bmp2land.html"
fi

wine() { WINEDEBUG=-all WINEPREFIX="$prefix" LC_ALL=C.UTF-8 command wine "$@" </dev/null; }
out=$(cd "$scratch/unpacked" && wine bmp2land.exe 'examples\level.bmp')
[[ $out == "bmp2land "*$'\r\nMaking land file...\r\nDone!\r' ]] ||
  fail "bmp2land.exe said: $out"
(cd "$scratch/native" && "$native" "$scratch/unpacked/examples/level.bmp" >/dev/null)
cmp "$scratch/native/land.dat" "$scratch/unpacked/land.dat" || fail "land.dat differs"
(cd "$scratch/unpacked" && wine landinfo.exe land.dat | grep -q '^mask: matches picture') ||
  fail "landinfo.exe does not read the land.dat"
echo "the zip holds $files; bmp2land.exe made the native land.dat"

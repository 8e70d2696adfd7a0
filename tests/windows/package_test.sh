#!/usr/bin/env bash
# package_test.sh ZIP NATIVE_BMP2LAND WINE_PREFIX [PAGE]: unpacks the Windows
# zip into a fresh directory, checks that it holds exactly what a Windows user
# gets (the starter files as examples/ has them, and the web page PAGE where
# the build made one), converts the bundled example there under Wine as
# README.txt says: the land.dat must be the native build's, byte for byte;
# and takes README.txt's short way, landinfo then bmp2land, on a drawing.
set -euo pipefail
zip=$1 native=$2 prefix=$3 page=${4:-}
fail() { echo "FAIL: $*" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

starters="blank.bmp level-palette.gpl level-palette.pal level.bmp palette.png"
expected="README.txt bmp2land.exe"
[ -z "$page" ] || expected+=" bmp2land.html"
for file in $starters; do expected+=" examples/$file"; done
expected+=" landinfo.exe"
files=$(unzip -Z1 "$zip" | grep -v '/$' | LC_ALL=C sort | tr '\n' ' ')
[ "$files" = "$expected " ] || fail "the zip holds $files"

mkdir "$scratch/unpacked" "$scratch/native"
unzip -q "$zip" -d "$scratch/unpacked"
[ "$(grep -c $'\r$' "$scratch/unpacked/README.txt")" = "$(wc -l <"$scratch/unpacked/README.txt")" ] ||
  fail "README.txt has lines that don't end in CRLF"
for file in $starters; do
  cmp "$scratch/unpacked/examples/$file" "$(dirname "$0")/../../examples/$file" ||
    fail "examples/$file is not the one in examples/"
done
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
# The short way: a drawing (here a 24-bit copy of the example, as Paint
# saves one) to a level bitmap, then to land.dat.
if convert=$(command -v convert-im6.q16 || command -v magick); then
  "$convert" "$scratch/unpacked/examples/level.bmp" -type TrueColor "BMP3:$scratch/unpacked/drawing.bmp"
  out=$(cd "$scratch/unpacked" && wine landinfo.exe drawing.bmp level.bmp) ||
    fail "landinfo.exe drawing.bmp level.bmp said: $out"
  [[ $out == *$'written: level.bmp\r\nverdict: converts\r' ]] || fail "landinfo.exe said: $out"
  rm "$scratch/unpacked/land.dat"
  (cd "$scratch/unpacked" && wine bmp2land.exe level.bmp >/dev/null)
  cmp "$scratch/native/land.dat" "$scratch/unpacked/land.dat" || fail "the drawing's land.dat differs"
  echo "landinfo.exe made a level of a 24-bit drawing, and bmp2land.exe the same land.dat of it"
fi
echo "the zip holds $files; bmp2land.exe made the native land.dat"

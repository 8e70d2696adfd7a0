#!/usr/bin/env bash
# A drawing to a level bitmap, end to end: `landinfo drawing.png out.bmp`
# against ImageMagick's `convert drawing.png -colors 95 BMP3:out.bmp`, what a
# level maker would otherwise run, on the same file in the same run, in
# alternating runs: the median wall time and peak resident memory of each.
#
#   bench/drawing.sh [BUILD] [RUNS]
#
# The drawing is picture_bench's: 1920 x 696 RGBA, shaded hills of several
# thousand colours under a transparent sky, 30 soft markers, saved by
# ImageMagick as a compressed PNG. Budget: at most a quarter of ImageMagick's
# time, and under 24 MiB peak. Not a test: nothing asserts a time.
set -euo pipefail
build=${1:-build}
runs=${2:-11}
cmake --build "$build" --target picture_bench landinfo >/dev/null
landinfo=$build/landinfo
convert=$(command -v convert-im6.q16 || command -v magick || true)
[ -n "$convert" ] || { echo "ImageMagick not found"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/bench/picture_bench" make "$work/drawing.rgba"
"$convert" -size 1920x696 -depth 8 "rgba:$work/drawing.rgba" -define png:compression-level=9 \
  "PNG32:$work/drawing.png"
echo "drawing: $(wc -c <"$work/drawing.png") bytes, $("$convert" "$work/drawing.png" -format '%wx%h %[channels], %k colours' info:)"

# One timed run of a command that writes $work/out.bmp: "seconds KiB".
timed() {
  rm -f "$work/out.bmp"
  /usr/bin/time -f '%e %M' -o "$work/time" "$@" >/dev/null
  cat "$work/time"
}
ours=() theirs=()
for _ in $(seq "$runs"); do
  ours+=("$(timed "$landinfo" "$work/drawing.png" "$work/out.bmp")")
  theirs+=("$(timed "$convert" "$work/drawing.png" -colors 95 "BMP3:$work/out.bmp")")
done
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
report() {
  local label=$1
  shift
  local t m
  t=$(printf '%s\n' "$@" | cut -d' ' -f1 | median)
  m=$(printf '%s\n' "$@" | cut -d' ' -f2 | sort -n | tail -1)
  printf '%-44s median %5.2f s, peak %6.1f MiB\n' "$label" "$t" "$(echo "$m / 1024" | bc -l)"
}
report "landinfo drawing.png out.bmp" "${ours[@]}"
report "convert drawing.png -colors 95 BMP3:out.bmp" "${theirs[@]}"
"$landinfo" "$work/drawing.png" "$work/again.bmp" | grep -E '^(objects|land colours|verdict):'

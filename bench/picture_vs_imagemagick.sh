#!/usr/bin/env bash
# A drawing to a level bitmap, here and by ImageMagick, in one run: time and
# peak memory of each process, best of RUNS (default 5).
#
#   bench/picture_vs_imagemagick.sh [BUILD] [RUNS]
#
# The drawing is picture_bench's (1920 x 696 RGBA, several thousand colours),
# compressed as a paint program saves it. Budget: at most a quarter of
# ImageMagick's time, and under 24 MiB peak.
set -euo pipefail
build=${1:-build}
runs=${2:-5}
bench=$build/bench/picture_bench
convert=$(command -v convert-im6.q16 || command -v magick || true)
[ -n "$convert" ] || { echo "ImageMagick not found"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$bench" make "$work/stored.png"
"$convert" "$work/stored.png" -define png:compression-level=9 "PNG32:$work/drawing.png"
echo "drawing: $(wc -c <"$work/drawing.png") bytes, $("$convert" "$work/drawing.png" -format '%wx%h %[type] %k colours' info:)"

# Wall time and peak resident memory of one command: the best of $runs.
best() {
  local label=$1
  shift
  local times=() memory=()
  for _ in $(seq "$runs"); do
    /usr/bin/time -f '%e %M' -o "$work/time" "$@" >/dev/null
    read -r t m <"$work/time"
    times+=("$t")
    memory+=("$m")
  done
  local t m
  t=$(printf '%s\n' "${times[@]}" | sort -n | head -1)
  m=$(printf '%s\n' "${memory[@]}" | sort -n | head -1)
  printf '%-40s %6.2f s %8.1f MiB\n' "$label" "$t" "$(echo "$m / 1024" | bc -l)"
}
best "picture_bench (decode, map, write)" "$bench" level "$work/drawing.png" "$work/ours.bmp"
best "convert drawing.png -colors 95 BMP3:" "$convert" "$work/drawing.png" -colors 95 "BMP3:$work/theirs.bmp"
"$bench" level "$work/drawing.png" "$work/ours.bmp" "$runs"

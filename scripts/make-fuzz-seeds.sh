#!/usr/bin/env bash
# Makes the fuzzer's seed corpus in the folder given (default build-fuzz/seeds): small JPEG files
# of every kind the program meets, made by cjpeg from a small generated picture, plus a CMYK file
# from make_cmyk_seed (the path to it is the second argument) and cut-off copies.
set -euo pipefail
cd "$(dirname "$0")/.."
seeds=${1:-build-fuzz/seeds}
cmyk_tool=${2:-build-fuzz/make_cmyk_seed}
mkdir -p "$seeds"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A 24 x 16 colour gradient as PPM, with a grey copy, written byte by byte.
{
  printf 'P6\n24 16\n255\n'
  for ((y = 0; y < 16; y++)); do
    for ((x = 0; x < 24; x++)); do
      printf "\\$(printf %o $((x * 10)))\\$(printf %o $((y * 15)))\\$(printf %o $(((x + y) * 5)))"
    done
  done
} >"$work/colour.ppm"

make() { # name, cjpeg options...
  local name=$1
  shift
  cjpeg "$@" -outfile "$seeds/$name.jpg" "$work/colour.ppm"
}
make baseline -quality 90
make progressive -quality 90 -progressive
make grey -quality 90 -grayscale
make grey-progressive -grayscale -progressive
make restart-markers -quality 90 -restart 1B
make sampling-444 -sample 1x1
make sampling-422 -sample 2x1
make sampling-420 -sample 2x2
make arithmetic -arithmetic
make arithmetic-progressive -arithmetic -progressive
make optimised -optimize -quality 50
"$cmyk_tool" "$seeds/cmyk.jpg"
# Cut off within the data.
for name in baseline progressive; do
  size=$(stat -c %s "$seeds/$name.jpg")
  head -c $((size * 2 / 3)) "$seeds/$name.jpg" >"$seeds/$name-truncated.jpg"
done

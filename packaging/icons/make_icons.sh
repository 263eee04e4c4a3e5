#!/bin/sh
# Renders the PNG sizes of the program icon from vorlix.svg (ImageMagick).
set -e
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
  convert -background none -density 384 vorlix.svg -resize ${size}x${size} -strip PNG32:vorlix-$size.png
done

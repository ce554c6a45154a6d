#!/bin/sh
# Renders the committed PNGs from the two SVG drawings. Only needed after a
# drawing changes; the build uses the committed PNGs and needs no ImageMagick.
# Each picture is drawn at eight times its size and scaled down, which keeps
# thin strokes even at 16 pixels.
set -eu
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
    convert -background none -density $((72 * size * 8 / 256)) anchorly.svg \
        -resize "${size}x${size}" -strip "png32:icons/anchorly-${size}.png"
done
convert -background none -density 576 hand.svg -resize 32x32 -strip png32:hand.png

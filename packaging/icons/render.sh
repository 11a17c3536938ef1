#!/bin/sh
# Renders the PNG sizes and the Windows .ico of the application icon from
# rebound.svg (needs rsvg-convert from librsvg2-bin and icotool from
# icoutils). Run after changing the SVG and commit the results with it.
set -eu
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" rebound.svg -o "rebound-$size.png"
done
icotool -c -o rebound.ico rebound-16.png rebound-24.png rebound-32.png rebound-48.png -r rebound-256.png

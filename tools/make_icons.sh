#!/usr/bin/env bash
# Renders the program's icon, src/ui/resources/orbo.svg, at the sizes of the
# icon theme: orbo.png (256 x 256, also the window's icon) and orbo-SIZE.png
# beside it for 16, 24, 32, 48, 64 and 128. Needs rsvg-convert (librsvg2-bin);
# as root it is installed with apt-get, otherwise the command is printed.
set -euo pipefail
cd "$(dirname "$0")/.."

source tools/deps.sh
orbo_install_packages librsvg2-bin

icons=src/ui/resources
rsvg-convert -w 256 -h 256 "$icons/orbo.svg" -o "$icons/orbo.png"
for size in 16 24 32 48 64 128; do
  rsvg-convert -w "$size" -h "$size" "$icons/orbo.svg" -o "$icons/orbo-$size.png"
done
ls -l "$icons"/orbo*.png

#!/usr/bin/env bash
# Renders the icon's PNG sizes from packaging/icons/zentorak.svg: the hicolor sizes the install
# rules put under share/icons, and the window icon of the Qt resources. The PNGs are committed,
# so building needs no SVG renderer; run this (with librsvg2-bin installed) after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")/.."
svg=packaging/icons/zentorak.svg
for n in 48 64 128 256; do
    mkdir -p "packaging/icons/hicolor/${n}x${n}"
    rsvg-convert -w "$n" -h "$n" "$svg" -o "packaging/icons/hicolor/${n}x${n}/zentorak.png"
done
cp packaging/icons/hicolor/64x64/zentorak.png src/gui/resources/icons/zentorak.png

#!/usr/bin/env bash
# Renders the fixed-size PNG icons from the scalable one. The PNGs are committed, so the build needs
# no SVG renderer; run this (rsvg-convert, from librsvg2-bin) after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")/hicolor"
svg=scalable/apps/de.pixolva.Pixolva.svg
for size in 16 32 48 256; do
    mkdir -p "${size}x${size}/apps"
    rsvg-convert -w "$size" -h "$size" "$svg" -o "${size}x${size}/apps/de.pixolva.Pixolva.png"
done

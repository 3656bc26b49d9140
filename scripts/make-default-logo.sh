#!/usr/bin/env bash
# Renders the default logo from its vector source with ImageMagick. The PNG is committed, so
# the build never needs ImageMagick; run this only after changing default_logo.mvg.
set -euo pipefail
cd "$(dirname "$0")/../src/imaging/resources"
convert -background none mvg:default_logo.mvg -strip -define png:compression-level=9 PNG32:default_logo.png

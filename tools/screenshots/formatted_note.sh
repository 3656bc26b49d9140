#!/usr/bin/env bash
# Screenshots of tests/data/rtf/formatted_note.rtf as the program shows it and as LibreOffice
# renders it, into build/screenshots/ (marrowleaf.png, libreoffice.png), to compare by eye.
# Needs a built tree, xvfb-run, soffice (libreoffice-writer-nogui) and pdftoppm (poppler-utils).
set -euo pipefail
cd "$(dirname "$0")/../.."
out=build/screenshots
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
cp tests/data/rtf/formatted_note.rtf "$out/"
build/bin/mlf new "$work/note.mlf"
build/bin/mlf import "$work/note.mlf" "$out/formatted_note.rtf"
XDG_CONFIG_HOME="$work/home" MLF_SMOKE_SCREENSHOT="$PWD/$out/marrowleaf.png" \
  xvfb-run -a -s "-screen 0 1280x800x24" build/bin/marrowleaf "$work/note.mlf"
soffice -env:UserInstallation=file://"$work/profile" --headless --convert-to pdf --outdir "$out" \
  "$out/formatted_note.rtf" >/dev/null
pdftoppm -png -r 80 -singlefile "$out/formatted_note.pdf" "$out/libreoffice"
echo "screenshots: $out/marrowleaf.png $out/libreoffice.png"

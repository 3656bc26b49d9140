#!/usr/bin/env bash
# Builds the RTF fidelity corpus in tests/data/rtf/corpus from documents that ship in Debian
# packages, converted by two independent RTF writers (LibreOffice and pandoc), and stores
# LibreOffice's plain text of every corpus file beside it (name.txt), so that the tests compare
# with an independent reader without LibreOffice installed.
#
# The hand-written files (re_*.rtf, in the rich-edit control's style) are kept in the
# repository; this script only makes their text.
#
# Needs soffice (libreoffice-writer-nogui) and pandoc; run once, then commit the result.
#
#   tools/rtf-corpus/make_corpus.sh            regenerate the corpus and its texts
#   tools/rtf-corpus/make_corpus.sh texts      only the texts
#   tools/rtf-corpus/make_corpus.sh written DIR
#       LibreOffice's text of the RTF files in DIR (the corpus as our writer wrote it, made
#       by the rtf tests with MLF_RTF_WRITE_DIR=DIR), into DIR/txt
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
corpus=$(cd "$here/../.." && pwd)/tests/data/rtf/corpus
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
max_bytes=250000

# The plain text of every RTF file given, UTF-8, into the folder of the first argument.
texts_of() {
  local outdir=$1
  shift
  soffice -env:UserInstallation=file://"$work/profile" --headless \
    --convert-to "txt:Text (encoded):UTF8" --outdir "$outdir" "$@" >/dev/null 2>&1
}

# Every n-th line of the sorted input, up to count lines: a spread instead of one package.
sample() {
  local every=$1 count=$2
  sort | awk -v n="$every" 'NR % n == 1' | head -n "$count"
}

generate() {
  mkdir -p "$work/lo" "$work/pd" "$work/html"
  rm -f "$corpus"/lo_*.rtf "$corpus"/pd_*.rtf

  # LibreOffice from its own Writer templates and sample document.
  mapfile -t writer_docs < <(
    { find /usr/lib/libreoffice/share/template -name '*.ott'; echo /usr/lib/libreoffice/share/template/common/internal/idxexample.odt; } | sample 3 26)
  # LibreOffice from HTML documentation.
  mapfile -t html_docs < <(find /usr/share/doc -name '*.html' -size +2k -size -60k | sample 9 20)
  local i=0
  for f in "${html_docs[@]}"; do
    i=$((i + 1))
    # Unique names: many packages call their page index.html. The package is the folder
    # right below /usr/share/doc.
    local package
    package=$(echo "$f" | cut -d/ -f5)
    cp "$f" "$work/html/$(printf '%02d' $i)_${package}_$(basename "$f")"
  done
  soffice -env:UserInstallation=file://"$work/profile" --headless --convert-to rtf \
    --outdir "$work/lo" "${writer_docs[@]}" >/dev/null 2>&1 || true
  mapfile -t copied < <(ls "$work/html"/*.html | awk 'NR % 2 == 1')
  soffice -env:UserInstallation=file://"$work/profile" --headless --infilter="HTML (StarWriter)" \
    --convert-to rtf --outdir "$work/lo" "${copied[@]}" >/dev/null 2>&1 || true
  for f in "$work"/lo/*.rtf; do cp "$f" "$corpus/lo_$(basename "$f")"; done

  # pandoc from the other half of the HTML pages, man pages and Markdown files.
  for f in $(ls "$work/html"/*.html | awk 'NR % 2 == 0'); do
    pandoc -f html -t rtf -s "$f" -o "$corpus/pd_$(basename "${f%.html}").rtf" 2>/dev/null || true
  done
  for f in $(find /usr/share/man/man1 /usr/share/man/man5 /usr/share/man/man8 -name '*.gz' -size +3k -size -20k | grep -v gcloud | sample 23 18); do
    local name
    name=$(basename "${f%.gz}")
    zcat "$f" | pandoc -f man -t rtf -s -o "$corpus/pd_man_${name//./_}.rtf" 2>/dev/null || true
  done
  for f in $(find /usr/share/doc -name '*.md' -size +1k -size -30k | sample 13 10); do
    local name
    name=$(basename "$(dirname "$f")")_$(basename "${f%.md}")
    pandoc -f gfm -t rtf -s "$f" -o "$corpus/pd_md_${name}.rtf" 2>/dev/null || true
  done

  # Keep the corpus small.
  find "$corpus" -name '*.rtf' -size +"$max_bytes"c -delete
  find "$corpus" -name '*.rtf' -empty -delete
}

make_texts() {
  rm -f "$corpus"/*.txt
  texts_of "$corpus" "$corpus"/*.rtf
}

case "${1:-all}" in
  all) generate; make_texts ;;
  texts) make_texts ;;
  written)
    mkdir -p "$2/txt"
    texts_of "$2/txt" "$2"/*.rtf
    ;;
  *) echo "usage: $0 [all|texts|written DIR]" >&2; exit 2 ;;
esac
ls "$corpus"/*.rtf | wc -l | xargs echo "corpus files:"
du -sh "$corpus" | cut -f1 | xargs echo "corpus size:"

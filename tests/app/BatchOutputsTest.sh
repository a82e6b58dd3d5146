#!/usr/bin/env bash
# tavim-report's page outputs from one run agree with each other, and --open of
# the saved file reproduces the same page images.
# Usage: BatchOutputsTest.sh TAVIM_REPORT TAVIM_DEMO_DB
set -euo pipefail
report=$1
demo=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$demo" "$work/demo.fdb" --contracts 150 --month 2024-02 >/dev/null
export TAVIM_DATABASE=$work/demo.fdb QT_QPA_PLATFORM=offscreen

"$report" --month 2 --year 2024 --save "$work/listing.brp" --pdf "$work/listing.pdf" \
    --png "$work/pages"
"$report" --open "$work/listing.brp" --png "$work/reopened" --pdf "$work/converted.pdf"

pdf_pages=$(pdfinfo "$work/listing.pdf" | awk '/^Pages:/ {print $2}')
png_pages=$(find "$work/pages" -name 'page-*.png' | wc -l)
# The saved file's header holds the page count at offset 8, little-endian.
brp_pages=$(od -An -t d4 -j 8 -N 4 "$work/listing.brp" | tr -d ' ')
echo "pages: pdf $pdf_pages, png $png_pages, saved file $brp_pages"
[ "$pdf_pages" -ge 2 ] || { echo "expected several pages" >&2; exit 1; }
[ "$pdf_pages" = "$png_pages" ] && [ "$pdf_pages" = "$brp_pages" ] ||
    { echo "page counts disagree" >&2; exit 1; }
[ "$(pdfinfo "$work/converted.pdf" | awk '/^Pages:/ {print $2}')" = "$pdf_pages" ]
pdftotext "$work/listing.pdf" "$work/listing.txt"
# Archived as PDF/A-1b under the period and the firm of the page header.
pdfinfo "$work/listing.pdf" >"$work/info"
grep -qx "Title: *Referênte ao mês de FEVEREIRO de 2024" "$work/info"
grep -qx "Author: *TAMBRI IMOVEIS LTDA" "$work/info"
grep -qx "Creator: *Tavim" "$work/info"
pdfinfo -meta "$work/listing.pdf" | grep -q 'pdfaid:part="1"'
pdfinfo -meta "$work/converted.pdf" | grep -q 'pdfaid:conformance="B"'
grep -q "Referênte ao mês de FEVEREIRO de 2024" "$work/listing.txt"

for page in "$work"/pages/*.png; do
    cmp -s "$page" "$work/reopened/$(basename "$page")" ||
        { echo "$(basename "$page") differs after --open" >&2; exit 1; }
done

# With the test queue (scripts/cups), --print sends the chosen range to it.
if [ "${TAVIM_TEST_CUPS:-}" = 1 ]; then
    touch "$work/before-print"
    sleep 1
    "$report" --open "$work/listing.brp" --print --from 2 --to 2
    arrived=
    for _ in $(seq 600); do
        arrived=$(find "$HOME/PDF" -name '*.pdf' -newer "$work/before-print" 2>/dev/null | head -n1)
        [ -n "$arrived" ] && pdfinfo "$arrived" >/dev/null 2>&1 && break
        sleep 0.1
    done
    [ -n "$arrived" ] || { echo "no printed PDF arrived in $HOME/PDF" >&2; exit 1; }
    [ "$(pdfinfo "$arrived" | awk '/^Pages:/ {print $2}')" = 1 ] ||
        { echo "the printed range is not one page" >&2; exit 1; }
fi

# A damaged file is refused with the store's message and exit code 1.
head -c 100 "$work/listing.brp" >"$work/short.brp"
if "$report" --open "$work/short.brp" --pdf "$work/short.pdf" 2>"$work/err"; then
    echo "a 100-byte file was accepted" >&2
    exit 1
fi
grep -qx "Stream read error." "$work/err"
echo ok

#!/usr/bin/env bash
# tavim-report's page outputs from one run agree with each other, and --open of
# the saved file reproduces the same page images.
# Usage: BatchOutputsTest.sh TAVIM_REPORT TAVIM_DEMO_DB
set -euo pipefail
report=$1
demo=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# About 1 000 rows: many pages, and more than one block of rows read as they come.
"$demo" "$work/demo.fdb" --contracts 1500 --month 2024-02 >/dev/null
export TAVIM_DATABASE=$work/demo.fdb QT_QPA_PLATFORM=offscreen

# With --list the table is read whole before the pages are generated.
"$report" --month 2 --year 2024 --save "$work/listing.brp" --pdf "$work/listing.pdf" \
    --png "$work/pages" --list "$work/listing.csv"
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
# The PDF written while the run went on holds the saved pages, in their order.
cmp <(pdftotext "$work/listing.pdf" -) <(pdftotext "$work/converted.pdf" -)
pdftotext "$work/listing.pdf" "$work/listing.txt"
# Archived as PDF/A-1b under the period and the firm of the page header.
pdfinfo "$work/listing.pdf" >"$work/info"
grep -qx "Title: *Referênte ao mês de FEVEREIRO de 2024" "$work/info"
grep -qx "Author: *TAMBRI IMOVEIS LTDA" "$work/info"
grep -qx "Creator: *Tavim" "$work/info"
pdfinfo -meta "$work/listing.pdf" | grep -q 'pdfaid:part="1"'
pdfinfo -meta "$work/converted.pdf" | grep -q 'pdfaid:conformance="B"'
grep -q "Referênte ao mês de FEVEREIRO de 2024" "$work/listing.txt"

# --find: case and accents ignored, one "page N: line" per match, exit 1 without one.
"$report" --open "$work/listing.brp" --find "REFERENTE AO MES" >"$work/found"
[ "$(wc -l <"$work/found")" = "$pdf_pages" ] || { echo "--find missed a page header" >&2; exit 1; }
grep -qx "page $pdf_pages: Referênte ao mês de FEVEREIRO de 2024" "$work/found"
if "$report" --open "$work/listing.brp" --find "no such tenant" >"$work/found"; then
    echo "--find without a match exited 0" >&2
    exit 1
fi
[ ! -s "$work/found" ]

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

# --save alone writes its file directly, its pages walking the rows as they
# come: the same bytes as the save above but for the creation time (offset 16,
# 8 bytes), and nothing else in its folder.
mkdir "$work/direct"
"$report" --month 2 --year 2024 --save "$work/direct/only.brp"
[ "$(ls -A "$work/direct")" = only.brp ] || { echo "--save left other files" >&2; exit 1; }
cmp <(head -c 16 "$work/listing.brp") <(head -c 16 "$work/direct/only.brp")
cmp <(tail -c +25 "$work/listing.brp") <(tail -c +25 "$work/direct/only.brp")

# Files that cannot be created are reported, and nothing is written elsewhere:
# a missing folder to save into, and a missing temporary folder.
expect_refused() { # expected message start, then the command
    local expected=$1
    shift
    if "$@" 2>"$work/err"; then
        echo "succeeded: $*" >&2
        exit 1
    fi
    grep -q "^$expected" "$work/err" || { cat "$work/err" >&2; exit 1; }
}
ls -A "$work" >"$work/before"
expect_refused "Cannot create file \"$work/missing/x.brp\"" \
    "$report" --month 2 --year 2024 --save "$work/missing/x.brp"
expect_refused "Cannot create file \"$work/missing-tmp/" \
    env TMPDIR="$work/missing-tmp" "$report" --month 2 --year 2024 --pdf "$work/tmp.pdf"
ls -A "$work" | grep -vx err | diff <(grep -vx err "$work/before") - ||
    { echo "a failed output left files" >&2; exit 1; }

# A file whose header counts no pages is refused, not made a blank PDF.
cp "$work/listing.brp" "$work/none.brp"
printf '\0\0\0\0' | dd of="$work/none.brp" bs=1 seek=8 conv=notrunc status=none
expect_refused "Report file has no pages." "$report" --open "$work/none.brp" --pdf "$work/none.pdf"
[ ! -e "$work/none.pdf" ]

# A damaged file is refused with the store's message and exit code 1.
head -c 100 "$work/listing.brp" >"$work/short.brp"
if "$report" --open "$work/short.brp" --pdf "$work/short.pdf" 2>"$work/err"; then
    echo "a 100-byte file was accepted" >&2
    exit 1
fi
grep -qx "Stream read error." "$work/err"

# One byte of page 1's end record (the last 20 bytes of its image, which ends
# 4 bytes before the offset of page 2) damaged: the page is refused, not
# converted with whatever the replay reached.
cp "$work/listing.brp" "$work/damaged.brp"
next=$(od -An -t d4 -j 132 -N 4 "$work/damaged.brp" | tr -d ' ')
printf '\x0f' | dd of="$work/damaged.brp" bs=1 seek=$((next - 24)) conv=notrunc status=none
expect_refused "Metafile is not valid (page 1)" \
    "$report" --open "$work/damaged.brp" --pdf "$work/damaged.pdf"
[ ! -e "$work/damaged.pdf" ]

# A tavim.conf that is there but cannot be used stops the run; the demo
# database is not used in its place.
mkdir -p "$work/cfg/tavim/tavim.conf"
expect_refused "Cannot use settings file \"$work/cfg/tavim/tavim.conf\": it is a folder." \
    env XDG_CONFIG_HOME="$work/cfg" "$report" --list
echo ok

#!/usr/bin/env bash
# The layers follow the data flow: a folder's sources include only their own
# folder's headers and those of the layers below it. Prints each include that
# reaches up or sideways, and fails if there is one.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)

# Each folder with its layer; the folders of one layer may include each other.
layer() {
    case $1 in
    error) echo 0 ;;
    format) echo 1 ;;
    data | data/firebird) echo 2 ;;
    engine/emf) echo 3 ;;
    engine/print | engine/print/pdf) echo 4 ;;
    engine/store) echo 5 ;;
    engine/export) echo 6 ;;
    engine/band) echo 7 ;;
    engine/preview) echo 8 ;;
    report) echo 9 ;;
    app | app/grid | tools) echo 10 ;;
    batch) echo 11 ;;
    *) echo "" ;;
    esac
}

# The layer of the deepest known folder holding a path.
layer_of() {
    local folder=${1%/*} known
    while [ "$folder" != "$1" ]; do
        known=$(layer "$folder")
        [ -n "$known" ] && { echo "$known"; return; }
        [[ $folder == */* ]] || break
        folder=${folder%/*}
    done
}

same_group() {
    [ "${1%%/*}" = "${2%%/*}" ] || { [[ $1 == engine/* ]] && [[ $2 == engine/* ]]; }
}

wrong=0
checked=0
while IFS= read -r file; do
    from=$(layer_of "$file")
    [ -n "$from" ] || continue
    while IFS= read -r header; do
        to=$(layer_of "$header")
        [ -n "$to" ] || continue
        checked=$((checked + 1))
        if [ "$to" -gt "$from" ] || { [ "$to" -eq "$from" ] && ! same_group "$file" "$header"; }; then
            echo "$file includes $header, a layer it does not build on"
            wrong=$((wrong + 1))
        fi
    done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$root/$file")
done < <(git -C "$root" ls-files -- '*.cpp' '*.h' | grep -v -e '^tests/' -e '^bench/')

echo "$checked includes checked, $wrong reach up or sideways"
[ "$checked" -gt 0 ] && [ "$wrong" -eq 0 ]

#!/usr/bin/env bash
# Takes a PNG of each dialog of the map and favourites commands under Xvfb, on the demo data of
# zentorak-sample (three stations as favourites; the first one's shops are listed): the map
# confirmation, the details in both forms, the favourite name, the organise dialog and its
# delete question. Keyboard steps reach most of them; the organise dialog's row and button are
# clicked where the default window puts them.
#
# Usage: tools/dialog_shots.sh BUILD_DIR OUT_DIR   (BUILD_DIR holds zentorak and tools/)
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
build=$(readlink -f "${1:?build folder}")
out=${2:?output folder}
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/tools/zentorak-sample" "$work" >/dev/null
ini=$work/zentorak.ini
# The compact details form is the same settings with DtlDlgMode 1.
sed 's/^DtlDlgMode:2\r$/DtlDlgMode:1\r/' "$ini" >"$work/compact.ini"
grep -q '^DtlDlgMode:1' "$work/compact.ini" || { echo "no DtlDlgMode in $ini" >&2; exit 1; }

first_row=("key F2" "key Down Down Down Down Right Down Down Return" "key Down Up")
shot() {
    local name=$1 settings=$2
    shift 2
    SCREENSHOT_WHOLE=1 bash "$here/screenshot.sh" "$build/zentorak" "$settings" "$out/$name.png" "$@"
}
shot map_confirm "$ini" "${first_row[@]}" "key Menu" "key Down Down Down Down Down Return"
shot details_full "$ini" "${first_row[@]}" "key Return"
shot details_compact "$work/compact.ini" "${first_row[@]}" "key Return"
shot favorite_name "$ini" "${first_row[@]}" "key Menu" "key Down Down Down Down Return"
organise=("key F2" "key Down Down Down Down Right Down Return")
shot organize_favorites "$ini" "${organise[@]}" "mousemove 100 95 click 1"
shot delete_question "$ini" "${organise[@]}" "mousemove 100 95 click 1" \
    "mousemove 378 543 click 1"

#!/usr/bin/env bash
# Fails when the layers are crossed: a file of the core (or of a Qt-free tool, benchmark or fuzz
# target) that includes a Qt header or anything under gui/, or a core area that includes an area
# above it, or a Qt file below gui/app that includes gui/app. The core areas by concern, lowest
# first:
#   platform   the operating system: memory, threads, files, serial port, MIME handlers, folders
#   text       text, code pages, text files, messages
#   geo        angles and datums
#   targets    the target store, its index and the searches
#   locinfo    reading location-info files into the targets
#   settings, favorites, map
#   position   the position sources and the update cycle
#   gpsd       the gpsd driver behind position's interface
#   app        the program's state and commands
# itemlist, resources and files include no other area (besides platform and text).
# In the GUI, only gui/app knows the main window: dialogs, controls, platform and resources do
# not include gui/app (the dialogs reach the window through DialogHost).
set -euo pipefail
cd "$(dirname "$0")/.."

status=0
fail() {
    echo "layers: $1" >&2
    status=1
}

# The Qt-free files: the core, and the tools, benchmarks and fuzz targets built without Qt.
qt_free=(src/core fuzz tools/cli tools/nmea tools/sample tools/wsim
    bench/bench_data.cpp bench/bench_data.h bench/bench_load.cpp bench/bench_place_lists.cpp
    bench/bench_search.cpp
    bench/national_set.cpp bench/national_set.h bench/towns_set.cpp bench/towns_set.h)
while IFS= read -r hit; do
    fail "Qt or gui include in Qt-free code: $hit"
done < <(grep -rnE '^\s*#\s*include\s*[<"](Q[A-Za-z]|Qt[A-Za-z]*/|gui/)' "${qt_free[@]}" \
    --include='*.h' --include='*.cpp' || true)

while IFS= read -r hit; do
    fail "gui/app included below the main window: $hit"
done < <(grep -rnE '^\s*#\s*include\s*"gui/app/' src/gui/dialogs src/gui/controls src/gui/platform \
    src/gui/resources --include='*.h' --include='*.cpp' || true)

rank() {
    case $1 in
        platform) echo 0 ;;
        text) echo 1 ;;
        geo) echo 2 ;;
        targets) echo 3 ;;
        locinfo) echo 4 ;;
        settings | favorites | map) echo 5 ;;
        position) echo 6 ;;
        gpsd) echo 7 ;;
        app) echo 8 ;;
        itemlist | resources | files) echo 2 ;;
        *) echo 99 ;;
    esac
}

# Within the core, an area may include its own files and those of lower areas only. Areas of
# the same rank may not include each other, but for settings -> favorites (the settings file holds
# the favourites), so favorites and map may not include settings.
while IFS= read -r line; do
    file=${line%%:*}
    inc=${line#*\"core/}
    from=${file#src/core/}
    from=${from%%/*}
    to=${inc%%/*}
    [[ $from == "$to" ]] && continue
    rf=$(rank "$from")
    rt=$(rank "$to")
    if ((rt > rf)) || { ((rt == rf)) && [[ $from != settings || $to != favorites ]]; }; then
        fail "core/$from includes core/$to (the area order runs the other way): $file"
    fi
    if [[ $from == itemlist || $from == resources || $from == files ]] && ((rt > 1)); then
        fail "core/$from includes core/$to: $file"
    fi
done < <(grep -rnoE '#\s*include\s*"core/[a-z_]+/' src/core --include='*.h' --include='*.cpp' |
    sed -E 's/:[0-9]+:/:/')

if ((status == 0)); then
    echo "layers: ok"
fi
exit "$status"

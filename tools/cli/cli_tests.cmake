# End-to-end checks of the companion commands: exact output lines and exit codes.
set(cli $<TARGET_FILE:zentorak-cli>)
add_test(NAME cli_dms_parses_and_formats COMMAND ${cli} dms 139/45/5.7)
set_tests_properties(cli_dms_parses_and_formats PROPERTIES LABELS core PASS_REGULAR_EXPRESSION
    "^\\{\"text\": \"139/45/5.7\", \"result\": 0, \"deg\": 139, \"min\": 45, \"sec\": 5, \"msec\": 7, \"formatted\": \"139/45/05.007\", \"degrees\": 139.75139083333335\\}\n$")
add_test(NAME cli_dms_bad_text_exits_1 COMMAND ${cli} dms 35/x)
set_tests_properties(cli_dms_bad_text_exits_1 PROPERTIES LABELS core WILL_FAIL TRUE)
add_test(NAME cli_url_mapion COMMAND ${cli} url 1 2 35/39/29.123 139/45/05.007)
set_tests_properties(cli_url_mapion PROPERTIES LABELS core PASS_REGULAR_EXPRESSION
    "^\\{\"url\": \"http://www.mapion.co.jp/c/f\\?uc=1&nl=35%2F39%2F29.123&el=139%2F45%2F5.007&scl=25000&size=450,400&grp=Air\"\\}\n$")
add_test(NAME cli_url_bad_angle_is_usage_error COMMAND ${cli} url 1 2 35/x 139)
set_tests_properties(cli_url_bad_angle_is_usage_error PROPERTIES LABELS core WILL_FAIL TRUE)
# A missing input gives the defaults, written out; the missing file makes the exit code 1.
add_test(NAME cli_settings_missing_input
    COMMAND ${cli} settings ${CMAKE_CURRENT_BINARY_DIR}/no-such.ini ${CMAKE_CURRENT_BINARY_DIR}/cli-out.ini)
set_tests_properties(cli_settings_missing_input PROPERTIES LABELS core WILL_FAIL TRUE)
add_test(NAME cli_settings_round_trip
    COMMAND ${cli} settings ${CMAKE_CURRENT_SOURCE_DIR}/../fuzz/seeds/load_settings/defaults
            ${CMAKE_CURRENT_BINARY_DIR}/cli-round-trip.ini)
set_tests_properties(cli_settings_round_trip PROPERTIES LABELS core PASS_REGULAR_EXPRESSION
    "^\\{\"load\": 0, \"save\": 0\\}\n$")
# The lbc command reads the module's reply from standard input, CR LF line ends and all.
add_test(NAME cli_lbc_reply_with_both_lines
    COMMAND sh -c "printf 'AT@LBC?\\r\\r\\nN35:39:29\\r\\nE139:45:05\\r\\nOK\\r\\n' | \"$0\" lbc" ${cli})
set_tests_properties(cli_lbc_reply_with_both_lines PROPERTIES LABELS core PASS_REGULAR_EXPRESSION
    "^\\{\"result\": 0, \"postal\": 0, \"lat\": \"35/39/29.000\", \"lon\": \"139/45/05.000\"\\}\n$")
add_test(NAME cli_lbc_reply_without_e_line_exits_1
    COMMAND sh -c "printf 'AT@LBC?\\r\\r\\nN35:39:29\\r\\n' | \"$0\" lbc" ${cli})
set_tests_properties(cli_lbc_reply_without_e_line_exits_1 PROPERTIES LABELS core WILL_FAIL TRUE)
# nearest, search and load on a small CP932 file with CR LF lines. The bytes were written with
# printf: 緯度 88 DC 93 78, 経度 8C 6F 93 78, 店名 93 58 96 BC, 東京店 93 8C 8B 9E 93 58. The
# second target's line ends with a separator, so it has no telephone item at all.
set(shops ${CMAKE_CURRENT_SOURCE_DIR}/cli/testdata/shops.csv)
add_test(NAME cli_load_counts_targets_and_captions COMMAND ${cli} load ${shops})
set_tests_properties(cli_load_counts_targets_and_captions PROPERTIES LABELS core
    PASS_REGULAR_EXPRESSION
    "^\\{\"targets\": 2, \"captions\": \\[\"緯度\", \"経度\", \"店名\", \"TEL\", \"住所\", \"TEL\", \"最寄り駅\", \"営業時間\", \"サービス\", \"備考\"\\], \"slots\": \\[0, 1, 2, 3, -1, -1, -1, -1, -1, -1\\], \"files\": \\[0\\], \"forms\": \\[\\{\"encoding\": \"CP932\", \"dms_lines\": 2, \"decimal_lines\": 0, \"mixed_lines\": 0, \"places\": 2, \"skipped_lines\": 0, \"first_skipped\": \\[\\], \"unplaced_columns\": \\[\\], \"coordinates_by_caption\": 0, \"reason\": \"\"\\}\\]\\}\n$")
add_test(NAME cli_nearest_lists_nearest_first
    COMMAND ${cli} nearest --count 2 35/41/00.000 139/46/00.000 ${shops})
set_tests_properties(cli_nearest_lists_nearest_first PROPERTIES LABELS core
    PASS_REGULAR_EXPRESSION
    "^\\{\"rank\": 1, \"lat\": \"35/41/00.000\", \"lon\": \"139/46/00.000\", \"info\": \\[\"A,B\", null, null, null, null, null, null, null\\], \"items\": \\{\"店名\": \"A,B\"\\}\\}\n\\{\"rank\": 2, \"lat\": \"35/40/40.000\", \"lon\": \"139/46/13.000\", \"info\": \\[\"東京店\", \"03-1111-2222\", null, null, null, null, null, null\\], \"items\": \\{\"店名\": \"東京店\", \"TEL\": \"03-1111-2222\"\\}\\}\n$")
add_test(NAME cli_search_finds_text_in_a_slot COMMAND ${cli} search --text 2=東京 ${shops})
set_tests_properties(cli_search_finds_text_in_a_slot PROPERTIES LABELS core
    PASS_REGULAR_EXPRESSION "\"info\": \\[\"東京店\", \"03-1111-2222\".*\n\\{\"count\": 1\\}\n$")
add_test(NAME cli_nearest_outside_the_area_exits_1
    COMMAND ${cli} nearest 10/00/00.000 139/46/00.000 ${shops})
set_tests_properties(cli_nearest_outside_the_area_exits_1 PROPERTIES LABELS core WILL_FAIL TRUE)
# A FIFO named as a location-info file is a file that cannot be opened: the load returns at once
# instead of waiting for a writer. timeout guards the test against the old hang.
add_test(NAME cli_load_fifo_cannot_be_opened
    COMMAND sh -c "d=$(mktemp -d) && mkfifo \"$d/f.csv\" && timeout 20 \"$0\" load \"$d/f.csv\"; s=$?; rm -rf \"$d\"; exit $s"
            ${cli})
set_tests_properties(cli_load_fifo_cannot_be_opened PROPERTIES LABELS core PASS_REGULAR_EXPRESSION
    "^\\{\"targets\": 0, .*\"files\": \\[-1\\], \"forms\": \\[\\{\"encoding\": null, .*\\}\\]\\}\n$")
# A text for a slot that the column map lacks (shops.csv has captions for slots 0 to 3 only) is
# no condition: alone it leaves nothing to search, beside a present slot's text it changes nothing.
add_test(NAME cli_search_text_for_an_absent_slot_finds_nothing
    COMMAND ${cli} search --text 5=03 ${shops})
set_tests_properties(cli_search_text_for_an_absent_slot_finds_nothing PROPERTIES LABELS core
    PASS_REGULAR_EXPRESSION
    "^zentorak-cli: slot 5 is not a column of the files; its text is no condition\nzentorak-cli: no condition on a column of the files remains; nothing is searched\n\\{\"count\": 0\\}\n$")
add_test(NAME cli_search_text_for_an_absent_slot_beside_a_present_one
    COMMAND ${cli} search --text 5=x --text 2=東京 ${shops})
set_tests_properties(cli_search_text_for_an_absent_slot_beside_a_present_one PROPERTIES LABELS core
    PASS_REGULAR_EXPRESSION "slot 5 is not a column.*\"info\": \\[\"東京店\".*\n\\{\"count\": 1\\}\n$")
# A gpsd that has stopped accepting connections fails the request within the time-out.
add_test(NAME cli_gps_stalled_gpsd_fails_within_the_timeout
    COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/cli/testdata/gps_stalled_gpsd.py ${cli})
set_tests_properties(cli_gps_stalled_gpsd_fails_within_the_timeout PROPERTIES LABELS core
    TIMEOUT 30)
# The folder of zentorak.ini: beside a program in a folder it may write; for an installed copy
# (PREFIX/bin with the desktop entry under PREFIX/share/applications) the configuration folder.
add_test(NAME cli_folder_beside_a_writable_program
    COMMAND ${cli} folder --exe ${CMAKE_BINARY_DIR}/zentorak)
set_tests_properties(cli_folder_beside_a_writable_program PROPERTIES LABELS core
    PASS_REGULAR_EXPRESSION
    "\"folder\": \"${CMAKE_BINARY_DIR}\", \"besideExecutable\": true, \"settings\": \"${CMAKE_BINARY_DIR}/zentorak.ini\"")
set(prefix ${CMAKE_CURRENT_BINARY_DIR}/cli-installed)
add_test(NAME cli_folder_of_an_installed_copy
    COMMAND sh -c "rm -rf \"$1\" && mkdir -p \"$1/bin\" \"$1/share/applications\" && touch \"$1/bin/zentorak\" \"$1/share/applications/zentorak.desktop\" && HOME=/home/hana XDG_CONFIG_HOME= \"$0\" folder --exe \"$1/bin/zentorak\"" ${cli} ${prefix})
set_tests_properties(cli_folder_of_an_installed_copy PROPERTIES LABELS core
    PASS_REGULAR_EXPRESSION
    "\"folder\": \"/home/hana/.config/zentorak\", \"besideExecutable\": false, \"settings\": \"/home/hana/.config/zentorak/zentorak.ini\", \"exists\": false")
# The favourites for other map apps (the point: cs2cs -f %.9f EPSG:4301 EPSG:4326), and exit 1
# with nothing written for a settings file that cannot be read.
add_test(NAME cli_favorites_as_gpx_or_nothing
    COMMAND sh -c "printf '[Favorite]\\r\\nFavName:A&B\\r\\nFavLat:35/39/29.123\\r\\nFavLon:139/45/05.007\\r\\n' >\"$1\" && \"$0\" favorites --gpx \"$1\"; \"$0\" favorites --kml /nonexistent.ini 2>&1; echo $?"
            ${cli} ${CMAKE_CURRENT_BINARY_DIR}/cli-favorites.ini)
set_tests_properties(cli_favorites_as_gpx_or_nothing PROPERTIES LABELS core PASS_REGULAR_EXPRESSION
    "<wpt lat=\"35\\.6613307[0-9]*\" lon=\"139\\.7481591[0-9]*\">\n    <name>A&amp;B</name>.*</gpx>\nzentorak-cli: [^\n]* cannot be read \\(-1\\); nothing written\n1\n$")

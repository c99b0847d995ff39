# End-to-end checks of the dms, url and settings commands: exact output lines and exit codes.
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

# End-to-end checks of the small programs: options, signals, odd input and piped output.
set(tool_tests ${CMAKE_CURRENT_SOURCE_DIR}/tests)
add_test(NAME tools_answer_help_and_bad_options
    COMMAND sh ${tool_tests}/usage_test.sh $<TARGET_FILE:zentorak-cli>
            $<TARGET_FILE:zentorak-wsim-sim> $<TARGET_FILE:zentorak-nmea-replay>
            $<TARGET_FILE:zentorak-sample>)
add_test(NAME wsim_sim_removes_its_link_on_signals
    COMMAND sh ${tool_tests}/wsim_link_test.sh $<TARGET_FILE:zentorak-wsim-sim>)
add_test(NAME nmea_replay_sends_short_dollar_lines
    COMMAND sh ${tool_tests}/nmea_replay_short_lines_test.sh $<TARGET_FILE:zentorak-nmea-replay>)
add_test(NAME cli_gps_flushes_each_answer
    COMMAND sh ${tool_tests}/cli_gps_flush_test.sh $<TARGET_FILE:zentorak-cli>
            $<TARGET_FILE:zentorak-nmea-replay>)
add_test(NAME sample_shops_in_both_forms_load_alike
    COMMAND python3 ${tool_tests}/sample_forms_test.py $<TARGET_FILE:zentorak-sample>
            $<TARGET_FILE:zentorak-cli>)
# The municipal offices list lies in the shared data folder beside the main checkout, or two
# levels up from a worktree; the test is skipped without it.
add_test(NAME place_lists_give_the_csv_files_nearest_places
    COMMAND python3 ${tool_tests}/place_lists_test.py $<TARGET_FILE:zentorak-cli>
            ${CMAKE_SOURCE_DIR}/../shared/data/places/localgovjp-utf8.csv
            ${CMAKE_SOURCE_DIR}/../../shared/data/places/localgovjp-utf8.csv)
set_tests_properties(tools_answer_help_and_bad_options wsim_sim_removes_its_link_on_signals
    nmea_replay_sends_short_dollar_lines cli_gps_flushes_each_answer
    sample_shops_in_both_forms_load_alike place_lists_give_the_csv_files_nearest_places
    PROPERTIES LABELS core TIMEOUT 60)
set_tests_properties(cli_gps_flushes_each_answer place_lists_give_the_csv_files_nearest_places
    PROPERTIES SKIP_RETURN_CODE 77)

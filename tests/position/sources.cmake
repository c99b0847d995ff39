target_sources(zentorak_core_tests PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/lbc_response_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gpsd_json_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wsim_parts_test.cpp
)

# Tests that run threads, a real gpsd or a pseudo-terminal: also labelled "threads", so that
# the ThreadSanitizer stage runs them. gpsd and the ports each test uses are its own.
add_executable(zentorak_position_tests
    ${CMAKE_CURRENT_LIST_DIR}/gpsd_harness.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gps_source_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gpsd_source_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wsim_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/update_cycle_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/nmea_walk_test.cpp
)
target_include_directories(zentorak_position_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(zentorak_position_tests PRIVATE
    zentorak_core zentorak_tooling GTest::gtest GTest::gmock GTest::gtest_main)
gtest_discover_tests(zentorak_position_tests
    TEST_LIST zentorak_position_tests_TESTS
    PROPERTIES TIMEOUT 60 DISCOVERY_TIMEOUT 60)
# gtest_discover_tests flattens a list-valued LABELS, so both labels are set once the tests
# have been listed, from a CTest include file that runs after the discovered one.
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/zentorak_position_tests_labels.cmake
    "if(DEFINED zentorak_position_tests_TESTS)\n"
    "  set_tests_properties(\${zentorak_position_tests_TESTS} PROPERTIES LABELS \"core;threads\")\n"
    "endif()\n")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES
    ${CMAKE_CURRENT_BINARY_DIR}/zentorak_position_tests_labels.cmake)

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
)
target_include_directories(zentorak_position_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(zentorak_position_tests PRIVATE
    zentorak_core zentorak_tooling GTest::gtest GTest::gmock GTest::gtest_main)
gtest_discover_tests(zentorak_position_tests
    PROPERTIES LABELS "core;threads" TIMEOUT 60 DISCOVERY_TIMEOUT 60)

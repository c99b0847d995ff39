target_sources(zentorak_core_tests PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/dms_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/line_scanner_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/location_info_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/raw_split_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/search_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_find_test.cpp
)

target_sources(zentorak_core_tests PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/text_line_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_utils_test.cpp
)

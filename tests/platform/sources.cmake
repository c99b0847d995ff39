target_sources(zentorak_core_tests PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/code_page_test.cpp
)

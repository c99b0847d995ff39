target_sources(zentorak_core_tests PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/map_urls_test.cpp
)

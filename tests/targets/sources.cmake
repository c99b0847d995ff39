target_sources(zentorak_core_tests PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/favorite_list_test.cpp
)

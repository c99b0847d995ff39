target_sources(zentorak_core_tests PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/settings_store_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_save_test.cpp
)

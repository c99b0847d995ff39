target_sources(zentorak_core_tests PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/text_line_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_utils_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/item_store_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/item_list_geometry_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/item_list_motion_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/item_list_core_test.cpp
)

# The coasting thread's tests run in their own executable so that they alone carry the
# "threads" label that the ThreadSanitizer stage selects.
add_executable(zentorak_item_list_thread_tests ${CMAKE_CURRENT_LIST_DIR}/item_list_coast_test.cpp)
target_link_libraries(zentorak_item_list_thread_tests PRIVATE
    zentorak_core GTest::gtest GTest::gtest_main)
target_include_directories(zentorak_item_list_thread_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
gtest_discover_tests(zentorak_item_list_thread_tests PROPERTIES LABELS core DISCOVERY_TIMEOUT 60)
# A label list cannot pass through gtest_discover_tests here, so a script that CTest reads after
# the discovered list adds "threads" to each of these tests.
set(item_list_labels ${CMAKE_CURRENT_BINARY_DIR}/item_list_thread_labels.cmake)
file(WRITE ${item_list_labels}
    "foreach(name IN LISTS zentorak_item_list_thread_tests_TESTS)\n"
    "  set_tests_properties(\"\${name}\" PROPERTIES LABELS \"core;threads\")\n"
    "endforeach()\n")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${item_list_labels})

if(ZENTORAK_UI)
    target_sources(zentorak_ui_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/item_list_view_test.cpp)
endif()

target_sources(zentorak_core_tests PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/radar_geometry_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/log_text_test.cpp
)
if(ZENTORAK_UI)
    target_sources(zentorak_ui_tests PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/app_fixture.h
        ${CMAKE_CURRENT_LIST_DIR}/startup_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/main_window_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/radar_paint_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/search_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/single_instance_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/position_wiring_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/../position/gpsd_harness.cpp
    )
    # The simulated W-SIM module of tools/wsim.
    target_link_libraries(zentorak_ui_tests PRIVATE zentorak_tooling)
    # The two-process test starts the real program.
    add_dependencies(zentorak_ui_tests zentorak)
    target_compile_definitions(zentorak_ui_tests PRIVATE
        ZENTORAK_EXECUTABLE="$<TARGET_FILE:zentorak>")
endif()

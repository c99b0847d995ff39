target_sources(zentorak_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/app_state.cpp
    ${CMAKE_CURRENT_LIST_DIR}/log_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/radar_geometry.cpp
)
if(ZENTORAK_UI)
    target_sources(zentorak_ui PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/application.cpp
        ${CMAKE_CURRENT_LIST_DIR}/main_window.cpp
        ${CMAKE_CURRENT_LIST_DIR}/main_window_commands.cpp
        ${CMAKE_CURRENT_LIST_DIR}/main_window_pen.cpp
        ${CMAKE_CURRENT_LIST_DIR}/radar_painter.cpp
        ${CMAKE_CURRENT_LIST_DIR}/radar_widget.cpp
        ${CMAKE_CURRENT_LIST_DIR}/result_panes.cpp
        ${CMAKE_CURRENT_LIST_DIR}/search_dialog.cpp
        ${CMAKE_CURRENT_LIST_DIR}/update_cycle_adapter.cpp
    )
    add_executable(zentorak ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
    target_link_libraries(zentorak PRIVATE zentorak_ui)
    # The executable sits at the top of the build tree, where its zentorak.ini is looked for.
    set_target_properties(zentorak PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endif()

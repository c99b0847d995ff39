target_sources(zentorak_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/code_page.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gpsd_json.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gpsd_driver.cpp
    ${CMAKE_CURRENT_LIST_DIR}/serial_port.cpp
)
pkg_check_modules(LIBGPS REQUIRED IMPORTED_TARGET libgps)
target_link_libraries(zentorak_core PUBLIC PkgConfig::LIBGPS)
if(ZENTORAK_UI)
    target_sources(zentorak_ui PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/full_screen_dialog.cpp
        ${CMAKE_CURRENT_LIST_DIR}/message_box.cpp
        ${CMAKE_CURRENT_LIST_DIR}/screen_dpi.cpp
        ${CMAKE_CURRENT_LIST_DIR}/shell_open.cpp
        ${CMAKE_CURRENT_LIST_DIR}/single_instance.cpp
        ${CMAKE_CURRENT_LIST_DIR}/soft_key_bar.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tap_and_hold.cpp
        ${CMAKE_CURRENT_LIST_DIR}/wait_cursor.h
    )
endif()

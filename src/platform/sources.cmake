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
    )
endif()

target_sources(zentorak_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/settings_lines.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_load.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_save.cpp
)

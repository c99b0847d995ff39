target_sources(zentorak_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/text_line.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_utils.cpp
    ${CMAKE_CURRENT_LIST_DIR}/item_store.cpp
    ${CMAKE_CURRENT_LIST_DIR}/item_list_geometry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/item_list_motion.cpp
    ${CMAKE_CURRENT_LIST_DIR}/item_list_core.cpp
    ${CMAKE_CURRENT_LIST_DIR}/item_list_input.cpp
)
if(ZENTORAK_UI)
    target_sources(zentorak_ui PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/item_list_view.cpp
        ${CMAKE_CURRENT_LIST_DIR}/item_list_draw.cpp
    )
endif()

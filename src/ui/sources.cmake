target_sources(zentorak_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/text_line.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_utils.cpp
)
if(ZENTORAK_UI)
    target_sources(zentorak_ui PRIVATE
    )
endif()

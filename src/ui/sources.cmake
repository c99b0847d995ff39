target_sources(zentorak_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/text_line.cpp
)
if(ZENTORAK_UI)
    target_sources(zentorak_ui PRIVATE
    )
endif()

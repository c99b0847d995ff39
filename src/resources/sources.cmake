target_sources(zentorak_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/menu_tables.cpp
)
if(ZENTORAK_UI)
    target_sources(zentorak_ui PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/menu_builder.cpp
        ${CMAKE_CURRENT_LIST_DIR}/resources.qrc
    )
endif()

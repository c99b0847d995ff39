target_sources(zentorak_core_tests PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/code_page_test.cpp
)
if(ZENTORAK_UI)
    target_sources(zentorak_ui_tests PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/stand_ins_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/url_catcher.h
    )
endif()

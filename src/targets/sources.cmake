target_sources(zentorak_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/favorite_list.cpp
)

target_sources(zentorak_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/map_urls.cpp
)

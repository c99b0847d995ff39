target_sources(zentorak_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/coordinate_bytes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dms.cpp
    ${CMAKE_CURRENT_LIST_DIR}/location_info.cpp
    ${CMAKE_CURRENT_LIST_DIR}/line_scanner.cpp
    ${CMAKE_CURRENT_LIST_DIR}/location_loader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/nearest_walk.cpp
    ${CMAKE_CURRENT_LIST_DIR}/search.cpp
    ${CMAKE_CURRENT_LIST_DIR}/target_index.cpp
    ${CMAKE_CURRENT_LIST_DIR}/target_store.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_find.cpp
)

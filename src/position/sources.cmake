target_sources(zentorak_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/lbc_response.cpp
)
target_sources(zentorak_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/gps_driver.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gps_source.cpp
)

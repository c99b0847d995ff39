target_sources(zentorak_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/lbc_response.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gps_driver.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gps_source.cpp
    ${CMAKE_CURRENT_LIST_DIR}/rx_buffer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/exchange_log.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wsim_port.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wsim_query.cpp
    ${CMAKE_CURRENT_LIST_DIR}/update_cycle.cpp
)

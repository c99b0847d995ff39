# The program's start-up and radar benchmarks (Qt).
if(ZENTORAK_UI)
    add_executable(startup_probe ${CMAKE_CURRENT_LIST_DIR}/startup_probe.cpp)
    target_link_libraries(startup_probe PRIVATE zentorak_gui)
    add_executable(bench_startup ${CMAKE_CURRENT_LIST_DIR}/bench_startup.cpp)
    target_link_libraries(bench_startup PRIVATE zentorak_bench_data benchmark::benchmark)
    target_compile_definitions(bench_startup PRIVATE ZENTORAK_PROBE="$<TARGET_FILE:startup_probe>")
    add_dependencies(bench_startup startup_probe)
    add_executable(bench_radar ${CMAKE_CURRENT_LIST_DIR}/bench_radar.cpp)
    target_link_libraries(bench_radar PRIVATE zentorak_gui zentorak_bench_data Qt6::Test
        benchmark::benchmark)
endif()
if(ZENTORAK_UI)
    # No Qt meta-objects here; without automoc no bench_*_autogen folder sits beside them.
    set_target_properties(bench_startup bench_radar PROPERTIES AUTOMOC OFF)
endif()

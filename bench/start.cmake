# A real start of the program against its two floors, each a child process (bench_start.cpp).
add_executable(floor_window ${CMAKE_CURRENT_LIST_DIR}/start/floor_window.cpp)
target_link_libraries(floor_window PRIVATE Qt6::Widgets)
add_executable(floor_read ${CMAKE_CURRENT_LIST_DIR}/start/floor_read.cpp)
target_link_libraries(floor_read PRIVATE PkgConfig::SQLCIPHER)
target_compile_definitions(floor_read PRIVATE SQLITE_HAS_CODEC)
add_executable(bench_start ${CMAKE_CURRENT_LIST_DIR}/bench_start.cpp)
target_link_libraries(bench_start PRIVATE pelorin_bench_main)
target_compile_definitions(bench_start PRIVATE PELORIN_PROGRAM="$<TARGET_FILE:Pelorin>"
  FLOOR_WINDOW="$<TARGET_FILE:floor_window>" FLOOR_READ="$<TARGET_FILE:floor_read>")
add_dependencies(bench_start Pelorin floor_window floor_read)

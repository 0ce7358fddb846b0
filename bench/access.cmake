add_executable(bench_access ${CMAKE_CURRENT_LIST_DIR}/bench_access.cpp)
target_link_libraries(bench_access PRIVATE pelorin_bench_main pelorin_import)
add_dependencies(bench_access pelorin_access_reader)
target_compile_definitions(bench_access PRIVATE PELORIN_ACCESS_READER="$<TARGET_FILE:pelorin_access_reader>"
  PELORIN_JET4_WRITER="${PROJECT_SOURCE_DIR}/tests/import/jet4_writer.py")

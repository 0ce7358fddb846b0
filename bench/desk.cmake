add_executable(bench_desk ${CMAKE_CURRENT_LIST_DIR}/bench_desk.cpp)
target_link_libraries(bench_desk PRIVATE pelorin_bench_main pelorin_ledger)

add_executable(bench_ledger ${CMAKE_CURRENT_LIST_DIR}/bench_ledger.cpp ${CMAKE_CURRENT_LIST_DIR}/bench_support.cpp)
target_include_directories(bench_ledger PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(bench_ledger PRIVATE pelorin_ledger pelorin_store pelorin_duration pelorin_test_support
  benchmark::benchmark)

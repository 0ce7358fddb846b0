add_executable(bench_report ${CMAKE_CURRENT_LIST_DIR}/bench_report.cpp ${CMAKE_CURRENT_LIST_DIR}/bench_support.cpp)
target_include_directories(bench_report PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(bench_report PRIVATE pelorin_ledger pelorin_store pelorin_test_support benchmark::benchmark)

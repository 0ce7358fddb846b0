add_executable(bench_store ${CMAKE_CURRENT_LIST_DIR}/bench_store.cpp ${CMAKE_CURRENT_LIST_DIR}/bench_support.cpp)
target_include_directories(bench_store PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(bench_store PRIVATE pelorin_store pelorin_duration pelorin_test_support benchmark::benchmark)

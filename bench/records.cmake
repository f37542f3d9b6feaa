# The poll log: a poll tick's user-interface time with logging on and off.
add_executable(bench_logging ${CMAKE_CURRENT_LIST_DIR}/records/bench_logging.cpp)
target_include_directories(bench_logging PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(bench_logging PRIVATE vrk_gui vrk_testsupport)

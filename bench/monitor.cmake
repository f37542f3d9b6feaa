# The program polling the relay simulator: rate, CPU, user-interface time per tick.
add_executable(bench_poll ${CMAKE_CURRENT_LIST_DIR}/monitor/bench_poll.cpp)
target_include_directories(bench_poll PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(bench_poll PRIVATE vrk_gui vrk_testsupport)

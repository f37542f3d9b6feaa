# A poll tick's measurement read against the timed simulator at 19200 to 2400 bit/s.
add_executable(bench_line ${CMAKE_CURRENT_LIST_DIR}/line/bench_line.cpp)
target_include_directories(bench_line PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(bench_line PRIVATE vrk_protocol vrk_serial vrk_testsupport)

# The poll tick with the communication monitor closed and open; the relay finder's scan time.
add_executable(bench_linemonitor ${CMAKE_CURRENT_LIST_DIR}/linemonitor/bench_linemonitor.cpp)
target_include_directories(bench_linemonitor PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(bench_linemonitor PRIVATE vrk_gui vrk_testsupport)

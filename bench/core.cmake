# The window thread's longest stall during a 2400 bit/s fault-log read.
add_executable(bench_stall ${CMAKE_CURRENT_LIST_DIR}/core/bench_stall.cpp)
target_include_directories(bench_stall PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(bench_stall PRIVATE vrk_gui vrk_testsupport Qt6::Test)

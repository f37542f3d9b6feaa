# Recorder: time per sample (shift nine channels, redraw both traces).
add_executable(bench_trends ${CMAKE_CURRENT_LIST_DIR}/trends/bench_trends.cpp)
target_link_libraries(bench_trends PRIVATE vrk_gui)

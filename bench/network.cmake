# Register exchanges with a relay behind a network gateway on loopback (vrk-sim's
# Modbus TCP and RTU-over-TCP service): round trip and connect time.
add_executable(bench_network ${CMAKE_CURRENT_LIST_DIR}/network/bench_network.cpp)
target_link_libraries(bench_network PRIVATE vrk_protocol vrk_serial)

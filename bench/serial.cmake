# Register exchanges over a pseudo-terminal: throughput, round trip, CPU, the
# cost of a missing reply, and the round trip of a libmodbus master.
# Against vrk-sim when $VRK_SIM names it, else against a built-in responder.
add_executable(bench_serial ${CMAKE_CURRENT_LIST_DIR}/serial/bench_serial.cpp)
target_link_libraries(bench_serial PRIVATE vrk_protocol vrk_serial vrk_wait PkgConfig::MODBUS util)

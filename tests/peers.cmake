# The program against a Modbus RTU slave we did not write (Debian's pymodbus,
# run with /usr/bin/python3) on a socat pseudo-terminal pair: the window's
# poll, a setpoint read and write, and vrk-cli at 2400-19200 bit/s.
vrk_add_test(tst_peers SOURCES tst_peers.cpp appfixture.h
  LIBS vrk_gui vrk_testsupport vrk_setpoints)
target_compile_definitions(tst_peers PRIVATE VRK_CLI_PATH="$<TARGET_FILE:vrk-cli>"
  VRK_PEER_SLAVE="${CMAKE_CURRENT_SOURCE_DIR}/peers/modbus_slave.py")
add_dependencies(tst_peers vrk-cli)

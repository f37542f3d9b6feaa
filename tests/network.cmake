# Relays behind network gateways: the address and framing rules (everywhere),
# and the window and vrk-cli against the simulator's network service and a
# pymodbus server run with Debian's /usr/bin/python3 (Linux).
vrk_add_test(tst_network_rules SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_network_rules.cpp LIBS vrk_network)
if(VRK_LINUX_TESTS)
vrk_add_test(tst_network SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_network.cpp appfixture.h simfixture.h
  LIBS vrk_gui vrk_testsupport vrk_setpoints)
target_compile_definitions(tst_network PRIVATE VRK_CLI_PATH="$<TARGET_FILE:vrk-cli>"
  VRK_PEER_PATH="${CMAKE_CURRENT_LIST_DIR}/modbus_peer.py")
add_dependencies(tst_network vrk-cli vrk-sim)
endif()

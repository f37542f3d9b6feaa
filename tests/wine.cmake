# The Win32 serial backend reading the relay simulator on COM1 under Wine. Not a
# CTest test: scripts/check-windows.sh starts the simulator, links COM1 to it
# and runs this program.
add_executable(tst_serial_wine ${CMAKE_CURRENT_LIST_DIR}/tst_serial_wine.cpp)
target_link_libraries(tst_serial_wine PRIVATE Qt6::Test vrk_protocol vrk_serial vrk_wait)

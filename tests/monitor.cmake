vrk_add_test(tst_monitor_rules SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tst_monitor_rules.cpp LIBS vrk_monitor)
if(VRK_LINUX_TESTS)
vrk_add_test(tst_monitor SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tst_monitor.cpp LIBS vrk_gui vrk_testsupport)
endif()

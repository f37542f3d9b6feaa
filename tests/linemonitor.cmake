# The communication monitor: its rules and the line settings' (no window), and
# the real window against the relay simulator.
vrk_add_test(tst_linemonitor_rules SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_linemonitor_rules.cpp LIBS vrk_linemonitor)
if(VRK_LINUX_TESTS)
vrk_add_test(tst_linemonitor SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_linemonitor.cpp ${CMAKE_CURRENT_LIST_DIR}/appfixture.h
  LIBS vrk_gui vrk_testsupport)
endif()

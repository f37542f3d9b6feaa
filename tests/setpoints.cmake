# The setpoint table's rules and the setpoint file.
vrk_add_test(tst_setpoints SOURCES tst_setpoints.cpp LIBS vrk_setpoints)
if(VRK_LINUX_TESTS)
vrk_add_test(tst_setpoints_file SOURCES tst_setpoints_file.cpp LIBS vrk_setpoints)
# The setpoint page of the real main window, alone and against the relay simulator.
vrk_add_test(tst_setpoints_form1 SOURCES tst_setpoints_form1.cpp appfixture.h LIBS vrk_gui)
vrk_add_test(tst_setpoints_sim SOURCES tst_setpoints_sim.cpp appfixture.h LIBS vrk_gui vrk_testsupport)
endif()
# What the relay holds against what was sent, the table and a file (no window).
vrk_add_test(tst_setpoints_readback SOURCES tst_setpoints_readback.cpp LIBS vrk_setpoints)

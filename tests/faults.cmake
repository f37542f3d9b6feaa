# The fault log's rules, and the fault page of the real main window against the relay simulator.
vrk_add_test(tst_faults SOURCES tst_faults.cpp LIBS vrk_faults)
if(VRK_LINUX_TESTS)
vrk_add_test(tst_faults_form1 SOURCES tst_faults_form1.cpp appfixture.h LIBS vrk_gui vrk_testsupport)
endif()

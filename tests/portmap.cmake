# The ports file and VRK_COMn (Linux and, under Wine, Windows).
vrk_add_test(tst_portmap SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_portmap.cpp LIBS vrk_portmap vrk_portlist vrk_serial)
# "Which port is this?" driven with the mouse: the chosen port lands in the
# working folder's ports file and the driver opens it.
if(VRK_LINUX_TESTS)
vrk_add_test(tst_portswindow SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_portswindow.cpp LIBS vrk_gui)
endif()
# The settings dialog's lists with whatever font stands in for its own.
if(VRK_LINUX_TESTS)
vrk_add_test(tst_form2fit SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_form2fit.cpp LIBS vrk_gui)
endif()

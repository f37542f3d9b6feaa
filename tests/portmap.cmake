# The ports file and VRK_COMn (Linux and, under Wine, Windows).
vrk_add_test(tst_portmap SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_portmap.cpp LIBS vrk_portmap vrk_serial)

# Commands that open a dialog wait for the running operation with the relay;
# settings and snapshots (the real window against the relay simulator).
vrk_add_test(tst_defer SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_defer.cpp appfixture.h LIBS vrk_gui vrk_testsupport)

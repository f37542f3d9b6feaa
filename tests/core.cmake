# The relay core: the frames of every operation of the window against the
# simulator (kept as a table), and the core's rules through the real window.
vrk_add_test(tst_core_frames SOURCES tst_core_frames.cpp appfixture.h LIBS vrk_gui vrk_testsupport)
vrk_add_test(tst_core_window SOURCES tst_core_window.cpp appfixture.h LIBS vrk_gui vrk_testsupport)

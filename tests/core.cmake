# The relay core: the frames of every operation of the window against the
# simulator (kept as a table), and the link alone as vrk-cli uses it.
vrk_add_test(tst_core_frames SOURCES tst_core_frames.cpp appfixture.h LIBS vrk_gui vrk_testsupport)
vrk_add_test(tst_core_link SOURCES tst_core_link.cpp LIBS vrk_core vrk_testsupport)

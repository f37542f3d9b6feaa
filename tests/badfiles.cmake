vrk_add_test(tst_badfiles SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tst_badfiles.cpp LIBS vrk_gui)

vrk_add_test(tst_app SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tst_app.cpp LIBS vrk_gui)

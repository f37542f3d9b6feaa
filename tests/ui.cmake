# The windows at the keyboard, on small and scaled screens: focus order, shortcuts, placement.
vrk_add_test(tst_ui SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_ui.cpp LIBS vrk_gui)

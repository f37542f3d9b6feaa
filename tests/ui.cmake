# The windows at the keyboard, on small and scaled screens: focus order, shortcuts, placement.
vrk_add_test(tst_ui SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_ui.cpp LIBS vrk_gui)
# The same windows on a screen of twice the pixel ratio (1024 x 600 points).
add_test(NAME tst_ui_scale2 COMMAND tst_ui keyboardWalk monitorFitsTheScreen aboutAndManual)
set_tests_properties(tst_ui_scale2 PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VRK_TEST_SCREEN=2048x1200@2" TIMEOUT 300)

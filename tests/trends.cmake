# Recorder: the rules and recording files, the chart page, and the main window's recorder.
vrk_add_test(tst_trends SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_trends.cpp LIBS vrk_trends)
vrk_add_test(tst_trends_chart SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_trends_chart.cpp
             ${CMAKE_CURRENT_LIST_DIR}/tst_trends_support.h LIBS vrk_gui)
vrk_add_test(tst_trends_form1 SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_trends_form1.cpp
             ${CMAKE_CURRENT_LIST_DIR}/tst_trends_support.h LIBS vrk_gui vrk_testsupport)
vrk_add_test(tst_polllogrows SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_polllogrows.cpp LIBS vrk_trends)

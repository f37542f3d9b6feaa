# Code pages 1250 and 1251 without ICU, as the Windows build converts them.
vrk_add_test(tst_codepage SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_codepage.cpp LIBS vrk_config)

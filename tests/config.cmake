# vrk.ini with the settings dialog, and the language files with the switch.
vrk_add_test(tst_config SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tst_config.cpp LIBS vrk_gui)
vrk_add_test(tst_languages SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tst_languages.cpp LIBS vrk_gui)

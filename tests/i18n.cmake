# The program's translations and the language switch that installs them.
vrk_add_test(tst_i18n SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tst_i18n.cpp LIBS vrk_gui)
target_compile_definitions(tst_i18n PRIVATE VRK_SOURCE_DIR="${CMAKE_SOURCE_DIR}")

# Records of the job: the rules (no window), and the logging, exports and
# report of the real main window against the relay simulator.
vrk_add_test(tst_records_rules SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_records_rules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/filetestsupport.h LIBS vrk_records)
vrk_add_test(tst_records SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_records.cpp ${CMAKE_CURRENT_LIST_DIR}/appfixture.h
  LIBS vrk_gui vrk_testsupport)
target_compile_definitions(tst_records PRIVATE VRK_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
# The poll log written and read back by the chart's parser: summer time, a
# disconnect, a change of language, a new file at a size.
vrk_add_test(tst_polllog SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_polllog.cpp LIBS vrk_records)

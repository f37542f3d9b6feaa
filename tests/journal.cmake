# The service journal: its file (appends, read-back, a size limit, a cut
# line) and the rows of every change made to a relay.
vrk_add_test(tst_journal SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_journal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/filetestsupport.h LIBS vrk_journal)
# The window's journal and poll log against the relay simulator: a write cut
# short by a silent relay, a dropped link in the log, the journal's window.
vrk_add_test(tst_journal_form1 SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_journal_form1.cpp
  ${CMAKE_CURRENT_LIST_DIR}/appfixture.h LIBS vrk_gui vrk_testsupport)

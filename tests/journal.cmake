# The service journal: its file (appends, read-back, a size limit, a cut
# line) and the rows of every change made to a relay.
vrk_add_test(tst_journal SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_journal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/filetestsupport.h LIBS vrk_journal)

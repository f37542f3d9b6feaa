# The file module: line rules, refused files, checked writes and the in-place
# fallback, and the four writers of the program under a real file-size limit.
vrk_add_test(tst_files SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_files.cpp
             ${CMAKE_CURRENT_LIST_DIR}/filetestsupport.h
             LIBS vrk_files vrk_config vrk_setpoints vrk_trends)

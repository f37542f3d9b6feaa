# The fault-injection soak, long run: prints its figures.
add_executable(bench_soak ${CMAKE_CURRENT_LIST_DIR}/soak/bench_soak.cpp
  ${CMAKE_CURRENT_LIST_DIR}/soak/soakrun.cpp ${CMAKE_CURRENT_LIST_DIR}/soak/soakrun.h
  ${CMAKE_CURRENT_LIST_DIR}/soak/pollwatch.cpp ${CMAKE_CURRENT_LIST_DIR}/soak/pollwatch.h)
target_link_libraries(bench_soak PRIVATE vrk_gui vrk_testsupport)

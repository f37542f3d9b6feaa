# The relay simulator against raw frames over its pseudo-terminal.
vrk_add_test(tst_sim
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_sim.cpp
  LIBS vrk_testsupport vrk_simcore)
# The program's line settings against the simulator's, through the real window.
vrk_add_test(tst_line
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_line.cpp
  LIBS vrk_gui vrk_testsupport)
# The simulator's control socket and paths on a shared machine.
vrk_add_test(tst_simcontrol
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_simcontrol.cpp
  LIBS vrk_testsupport)

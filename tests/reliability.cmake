# Reliability: the fault-injection soak (short run; bench_soak runs the long
# one from the same code) and the relay unplugged in the middle of exchanges.
set(VRK_SOAK_SOURCES
  ${CMAKE_SOURCE_DIR}/bench/soak/soakrun.cpp ${CMAKE_SOURCE_DIR}/bench/soak/soakrun.h
  ${CMAKE_SOURCE_DIR}/bench/soak/pollwatch.cpp ${CMAKE_SOURCE_DIR}/bench/soak/pollwatch.h)
vrk_add_test(tst_soak SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tst_soak.cpp ${VRK_SOAK_SOURCES}
  LIBS vrk_gui vrk_testsupport)
vrk_add_test(tst_unplug SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tst_unplug.cpp
  ${CMAKE_SOURCE_DIR}/bench/soak/pollwatch.cpp ${CMAKE_SOURCE_DIR}/bench/soak/pollwatch.h
  LIBS vrk_gui vrk_testsupport)

# The relay protocol: frames and CRC, czekaj, the register exchanges over a
# pseudo-terminal against a scripted relay, and the value formatting.
if(VRK_LINUX_TESTS)
vrk_add_test(tst_protocol
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_protocol.cpp
  LIBS vrk_protocol vrk_wait vrk_testsupport util)
endif()
vrk_add_test(tst_formatting
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_formatting.cpp
  LIBS vrk_protocol)

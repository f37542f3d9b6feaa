# The serial driver: property rules, loops and polling against a scripted
# backend, and the real driver over pseudo-terminals.
if(VRK_LINUX_TESTS)
vrk_add_test(tst_serial
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_serial.cpp
  LIBS vrk_serial util)
endif()

# The Windows backend must keep compiling: cross-compile it with MinGW.
# The script exits 77 (skipped) when the cross compiler is missing.
if(NOT CMAKE_CROSSCOMPILING)
add_test(NAME mingw_serial COMMAND ${CMAKE_CURRENT_LIST_DIR}/../scripts/check-mingw.sh)
set_tests_properties(mingw_serial PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
endif()

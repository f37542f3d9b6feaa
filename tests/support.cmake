# Test support shared by the test executables: the relay simulator fixture.
add_library(vrk_testsupport STATIC
  ${CMAKE_CURRENT_LIST_DIR}/simfixture.cpp ${CMAKE_CURRENT_LIST_DIR}/simfixture.h)
target_link_libraries(vrk_testsupport PUBLIC Qt6::Core Qt6::Test)
# The fixture starts $VRK_SIM, else this build's simulator; building a test
# that uses the fixture builds the simulator first.
target_compile_definitions(vrk_testsupport PRIVATE VRK_SIM_PATH="$<TARGET_FILE:vrk-sim>")
add_dependencies(vrk_testsupport vrk-sim)

# vrk-cli run as a program against the relay simulator, and against the
# window's own setpoint save.
vrk_add_test(tst_cli SOURCES tst_cli.cpp appfixture.h simfixture.h
  LIBS vrk_gui vrk_testsupport vrk_setpoints vrk_faults vrk_monitor vrk_config)
target_compile_definitions(tst_cli PRIVATE VRK_CLI_PATH="$<TARGET_FILE:vrk-cli>" VRK_VERSION="${PROJECT_VERSION}"
  VRK_CLI_MANUAL="${CMAKE_SOURCE_DIR}/packaging/man/vrk-cli.1")
add_dependencies(tst_cli vrk-cli)

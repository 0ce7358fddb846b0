# The record commands driven through the real window: add, edit and delete one loan.
# Included from tests/e2e_commands; the guard keeps the test single if tests/e2e includes it too.
get_property(pelorin_e2e_commands_added GLOBAL PROPERTY PELORIN_E2E_COMMANDS_ADDED)
if(NOT pelorin_e2e_commands_added)
  set_property(GLOBAL PROPERTY PELORIN_E2E_COMMANDS_ADDED TRUE)
  add_test(NAME e2e_record_commands
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/record_commands.sh $<TARGET_FILE_DIR:Pelorin> $<TARGET_FILE:make_databook>)
  # Run alone: it types with the keyboard.
  set_tests_properties(e2e_record_commands PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600 RESOURCE_LOCK xvfb
    RUN_SERIAL TRUE)
  pelorin_label_tests(e2e_record_commands)
endif()

# Orchestration, console and trace channels.
vk_test(orch_unit_tests
  SOURCES orch_trace_console_test.cpp orch_parameter_test.cpp
  LIBS vk_orchestration vk_panes vk_gl_state vk_view
  LABELS unit)

vk_test(orch_process_tests
  SOURCES orch_open_test.cpp orch_reassembly_test.cpp orch_run_traces_test.cpp
  LIBS vk_orchestration vk_panes vk_gl_state vk_view
  LABELS process)
if(TARGET orch_process_tests AND TARGET vk_kernel)
  add_dependencies(orch_process_tests vk_kernel)
endif()

# Opening, parsing, assembling, pushing parameters and re-assembling: the
# pipeline's orchestration. Above the kernel runs; writes to the console and
# trace channels and reaches panes and renderer through the context's hooks.
vk_library(vk_orchestration
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/orchestration_common.cpp
    ${CMAKE_CURRENT_LIST_DIR}/orchestration.cpp
    ${CMAKE_CURRENT_LIST_DIR}/open_scripts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/parameter_push.cpp
    ${CMAKE_CURRENT_LIST_DIR}/reparse.cpp
    ${CMAKE_CURRENT_LIST_DIR}/reassembly.cpp
  DEPS vk_pipeline vk_export vk_context vk_model vk_platform vk_text)

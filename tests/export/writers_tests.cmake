# Mesh writers: exact files, bad input, failing output, round trips through
# an independent reader and random-mesh properties.
vk_test(writers_tests
  SOURCES
    writers_format_test.cpp
    writers_golden_test.cpp
    writers_property_test.cpp
  LIBS vk_export
  LABELS unit)

pkg_check_modules(VK_WRITERS_ASSIMP QUIET IMPORTED_TARGET assimp)
if(VK_WRITERS_ASSIMP_FOUND)
  vk_test(writers_roundtrip_tests
    SOURCES writers_roundtrip_test.cpp
    LIBS vk_export vk_kernel_core PkgConfig::VK_WRITERS_ASSIMP
    LABELS unit)
endif()

# Tests of the window layer: translation, pacing, handlers and services
# without a display; real GTK windows under X (a private Xvfb when possible).
vk_test(platform_input_tests
  SOURCES window_layer_test.cpp
  LIBS vk_platform_gtk
  LABELS unit)

pkg_check_modules(VKPLAT_X11 REQUIRED IMPORTED_TARGET GLOBAL x11)
vk_test(platform_window_tests
  SOURCES window_test.cpp
  LIBS vk_platform_gtk PkgConfig::VKPLAT_X11
  LABELS window
  TIMEOUT 120)

# Tests of the window layer: translation, pacing, handlers and services
# without a display; real GTK windows under X (a private Xvfb when possible).
vk_test(platform_input_tests
  SOURCES window_layer_test.cpp
  LIBS vk_platform_gtk
  LABELS unit)

vk_test(platform_window_tests
  SOURCES window_test.cpp
  LIBS vk_platform_gtk
  LABELS window
  TIMEOUT 120)

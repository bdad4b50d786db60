# The GTK 2 window with its GtkGLArea canvas, the frame loop, input
# translation and the desktop services. Included by CMakeLists.txt here.
pkg_check_modules(VKPLAT_GTK REQUIRED IMPORTED_TARGET GLOBAL gtk+-2.0)
pkg_check_modules(VKPLAT_GTKGL REQUIRED IMPORTED_TARGET GLOBAL gtkgl-2.0)
pkg_check_modules(VKPLAT_GL REQUIRED IMPORTED_TARGET GLOBAL gl glu)

# The fixed GL state that the window sets up.
vk_library(vk_gl_state
  SOURCES gl_state.cpp
  DEPS PkgConfig::VKPLAT_GL)

vk_library(vk_platform_gtk
  SOURCES
    platform_state.cpp
    input_translation.cpp
    frame_pacing.cpp
    date_texts.cpp
    window.cpp
    services.cpp
  DEPS vk_platform vk_gl_state PkgConfig::VKPLAT_GTKGL PkgConfig::VKPLAT_GTK PkgConfig::VKPLAT_GL)
target_compile_definitions(vk_platform_gtk PUBLIC GLIB_DISABLE_DEPRECATION_WARNINGS)

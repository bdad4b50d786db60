#pragma once

// GL-initialisation callback of the platform listener: with the GL context
// current, creates the icon atlas, logo and font atlas textures from their
// pixel buffers (names stored in icon_atlas, logo_image and font_atlas) and
// releases the icon and font pixel buffers. Returns 0.
int app_on_gl_init();

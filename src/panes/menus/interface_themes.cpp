#include "panes/menus/interface_themes.h"

#include "panes/menus/menu_support.h"
#include "render/status_line.h"
#include "ui/theme.h"

void apply_ui_theme(AppContext& app, int32_t index) {
    app.frame.theme_index = index;
    copy_theme_into_active(index);
    update_fps_readout(app);
    if (app.services.set_background) {
        const double* c = active_theme.colours[3];
        app.services.set_background(c[0], c[1], c[2], c[3]);
    }
    redraw_and_refresh(app);
}

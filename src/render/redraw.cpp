#include "render/redraw.h"

#include "context/app_context.h"

void request_redraw(AppContext& app) {
    app.frame.needs_redraw = 1;
    if (app.services.redraw_request) app.services.redraw_request();
}

#include "app/app_context.h"

void refresh_interface(AppContext& app) {
    ++app.interface_refresh_count;
}

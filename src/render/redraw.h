#pragma once

struct AppContext;

// Asks for a new frame with the scene drawn again: sets the needs-redraw flag
// and calls the platform's redraw request when the service is bound.
void request_redraw(AppContext& app);

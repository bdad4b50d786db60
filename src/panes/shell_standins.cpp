#include "panes/shell_standins.h"

#include "app/app_context.h"
#include "text/text_utils.h"

void delete_pending_entity(AppContext& app) {
    record_standin_call("delete_pending_entity: " + int_to_text(app.dialogs.pending_delete_index));
    app.dialogs.pending_delete_index = -1;
}

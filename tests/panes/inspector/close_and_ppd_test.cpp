#include <string>
#include <vector>

#include "export/ppd_report.h"
#include "panes/pane_test_support.h"
#include "panes/inspector/ppd_viewer.h"
#include "panes/inspector/script_close.h"

using Lines = std::vector<std::string>;

struct CloseAndPpd : PaneFixture {
    CloseAndPpd() { publish(); }
    EntityListView& entity_view() { return *app->entities.current_environment_parts.entity_view; }
    EntityListView& parameter_view() { return *app->entities.current_environment_parts.parameter_view; }
    InteropMesh* new_mesh(uint32_t gl_base, const std::string& ppd = "") {
        InteropMesh* mesh = new InteropMesh();
        mesh->vertex_array_id = gl_base;
        mesh->vertex_buffer_id = gl_base + 1;
        mesh->index_buffer_id = gl_base + 2;
        mesh->ppd_text = ppd;
        return mesh;
    }
    EntityRecord* new_element(const std::string& path, InteropMesh* mesh) {
        EntityRecord* element = new EntityRecord(entity_construct());
        element->parse_record.path = path;
        element->mesh = mesh;
        return element;
    }
    void close(int32_t k) {
        app->dialogs.pending_delete_index = k;
        close_script(*app);
    }
    std::vector<std::string> console() const {
        const TraceLog& log = app->entities.current_environment->trace_log;
        return Lines(log.console_lines.begin(), log.console_lines.begin() + log.console_count);
    }
    ~CloseAndPpd() override {
        for (EntityRecord& e : set().records) {
            free_interop_mesh(e.mesh);
            for (EntityRecord* sub : e.subelement_records) {
                if (sub) free_interop_mesh(sub->mesh);
                delete sub;
            }
        }
    }
};

TEST_F(CloseAndPpd, ClosingKeepsSelectionsOnTheirEntities) {
    for (const char* name : {"/s/a.vrek", "/s/b.vrek", "/s/c.vrek"}) {
        EntityRecord& e = add_entity(name);
        give_parameters(e, {int_parameter("n", 1, false)});
        e.summary_width = 10 * static_cast<int32_t>(set().records.size());
    }
    entity(1).mesh = new_mesh(7);
    index_parameters();
    // Selected entity 2: closing one above keeps it, closing it clears it.
    entity_view().selected_row = 2;
    parameter_view().selected_row = 2;
    parameter_view().selected_serial = entity(2).serial_id;
    const int32_t serial = entity(2).serial_id;
    close(1);
    EXPECT_EQ(app->dialogs.pending_delete_index, -1);
    ASSERT_EQ(set().count, 2);
    EXPECT_EQ(entity_view().selected_row, 1);
    EXPECT_EQ(parameter_view().selected_row, 1);
    EXPECT_EQ(entity(1).serial_id, serial);
    EXPECT_EQ(entity_view().width, 30);
    EXPECT_EQ(set().parameter_entities, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(app->gl_retirement.retired_vertex_arrays, (std::vector<uint32_t>{7}));
    EXPECT_EQ(app->gl_retirement.retired_index_buffers, (std::vector<uint32_t>{9}));
    EXPECT_EQ(app->entity_rows.size(), 2u);
    EXPECT_EQ(app->status.status_text, "2 Scripts: [a.vrek, c.vrek] in /s/");
    EXPECT_EQ(app->entity_name_label.text, "");
    // Closing below the selection leaves it alone.
    close(0);
    EXPECT_EQ(entity_view().selected_row, 0);
    close(0);
    EXPECT_EQ(entity_view().selected_row, -1);
    EXPECT_EQ(parameter_view().selected_row, -1);
    EXPECT_EQ(parameter_view().width, 0);
    EXPECT_EQ(app->status.status_text, "(open a vrekform script file...)");
    EXPECT_TRUE(app->entity_list_hint.visible);
}

TEST_F(CloseAndPpd, ParallelElementsAreQueuedBeforeTheStampedLine) {
    app->services.local_time_text = [] { return std::string("12:34:56"); };
    EntityRecord& p = add_entity("/s/towers.vrek");
    p.parallel = 1;
    p.subelement_records = {new_element("/s/a.vrek", new_mesh(1)), nullptr, new_element("/s/b.vrek", new_mesh(4))};
    p.subelement_count = 3;
    close(0);
    EXPECT_EQ(app->gl_retirement.retired_vertex_arrays, (std::vector<uint32_t>{1, 4}));
    EXPECT_EQ(app->gl_retirement.retired_vertex_buffers, (std::vector<uint32_t>{2, 5}));
    EXPECT_EQ(app->gl_retirement.retired_index_buffers, (std::vector<uint32_t>{3, 6}));
    const Lines lines = console();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "12:34:56 | Script-File Closed: towers.vrek");
    EXPECT_EQ(set().count, 0);

    // An invalid index removes nothing, yet refreshes.
    add_entity("/s/a.vrek");
    app->frame.needs_redraw = 0;
    close(5);
    EXPECT_EQ(set().count, 1);
    EXPECT_EQ(app->frame.needs_redraw, 1);
    EXPECT_EQ(app->status.status_text, "Script: a.vrek in /s/");
}

TEST_F(CloseAndPpd, ViewerRowsReportsAndClicks) {
    EntityRecord& single = add_entity("/s/one.vrek");
    single.mesh = new_mesh(1, "");
    entity_view().selected_row = 0;
    open_ppd_view(*app);
    EXPECT_EQ(app->message_titles[0].text, "Entity is Missing PPD");
    EXPECT_EQ(app->pane_open_flags[PANE_INFO], 1);
    EXPECT_EQ(app->pane_open_flags[PANE_PROFILE], 0);

    single.mesh->ppd_text = "10\n";
    open_ppd_view(*app);
    ASSERT_EQ(app->ppd_rows.size(), 1u);
    EXPECT_EQ(app->ppd_rows[0].text, "one.vrek");
    EXPECT_EQ(app->ppd_report_label.text, compose_ppd_report(single));
    EXPECT_EQ(app->pane_open_flags[PANE_PROFILE], 1);
    EXPECT_TRUE(app->PROFILEPANE.visible);
    open_ppd_view(*app);
    EXPECT_EQ(app->pane_open_flags[PANE_PROFILE], 0);
    EXPECT_FALSE(app->OVERLAY.visible);

    // A parallel entity: its own row, then one per element ("NULL" for none).
    EntityRecord& p = add_entity("/s/towers.vrek");
    p.parallel = 1;
    p.subelement_records = {new_element("/s/a.vrek", new_mesh(4, "5\n")), nullptr,
                            new_element("/s/b.vrek", nullptr)};
    p.subelement_count = 3;
    entity_view().selected_row = 1;
    app->ppd_row_scroll.width = 168;
    open_ppd_view(*app);
    ASSERT_EQ(app->ppd_rows.size(), 4u);
    EXPECT_EQ(app->ppd_rows[2].text, "NULL");
    EXPECT_EQ(app->ppd_report_label.text, compose_parallel_ppd_report(p));
    hover_element = &app->ppd_rows[1];
    on_ppd_row_click();
    EXPECT_EQ(app->ppd_report_label.text, compose_ppd_report(*p.subelement_records[0]));
    hover_element = &app->ppd_rows[2];
    app->ppd_report_scroll.scroll_y = 0.5;
    on_ppd_row_click();
    EXPECT_EQ(app->ppd_selected_row, 2);
    EXPECT_FALSE(app->ppd_rows[1].selected);
    EXPECT_EQ(app->ppd_report_label.text, compose_ppd_report(*p.subelement_records[0]));
    EXPECT_EQ(app->ppd_report_scroll.scroll_y, 0.0);

    // A click below the rows does nothing, not even a refresh.
    int refreshes = 0;
    static int* counter = nullptr;
    counter = &refreshes;
    app->refresh_handler = [] { ++*counter; };
    hover_element = &app->entity_list;
    on_ppd_row_click();
    EXPECT_EQ(refreshes, 0);

    // A script opened meanwhile moves the records; the rows still resolve.
    add_entity("/s/late.vrek");
    set().records.shrink_to_fit();
    hover_element = &app->ppd_rows[0];
    on_ppd_row_click();
    EXPECT_EQ(app->ppd_report_label.text, compose_parallel_ppd_report(entity(1)));

    // A list that disagrees with its count gives the box.
    entity(1).subelement_count = 2;
    app->pane_open_flags[PANE_INFO] = 0;
    open_ppd_view(*app);
    EXPECT_EQ(app->pane_open_flags[PANE_INFO], 1);
    entity(1).subelement_count = 3;
}

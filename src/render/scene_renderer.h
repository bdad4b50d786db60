#pragma once
#include <array>
#include <cstdint>

struct AppContext;
struct InteropMesh;

// The 3D half of a frame: environment thumbnails, the environment snapshot,
// the scene of every view into the main scene target with its id buffers,
// the silhouette and the picking read-back; and the screenshot captures and
// completions around the interface half. GL context current, frame program
// in use.

// What a frame remembers of the capture requests before it serves them.
struct FrameCaptures {
    bool snapshot_requested = false;
    // Screenshot requested, canvas included, interface included.
    std::array<uint8_t, 3> screenshot = {0, 0, 0};
    bool multisampling = false;
    // The main scene drawn multisampled: anti-aliasing on and the camera
    // still (a moving camera draws single-sampled, at a third of the cost).
    bool scene_multisampled = false;
    // The camera moves or a mesh was just opened: the scene drawn now is
    // replaced by a still frame as soon as that ends.
    bool draft = false;
    bool snapshot_taken = false;
    bool screenshot_taken = false;
};

FrameCaptures remember_frame_captures(const AppContext& app);

// Steps of the scene: thumbnail, snapshot, the views when a redraw was
// asked for (left in target 4, resolved from target 3 when multisampled),
// and the read-back under the pointer while picking is on.
void render_scene(AppContext& app, FrameCaptures& captures, int32_t width, int32_t height, int32_t pointer_x,
                  int32_t pointer_y);

// Before the interface: false when the final frame must not show the scene
// (a screenshot without the canvas), which then clears target 2 instead.
bool frame_shows_canvas(const FrameCaptures& captures);
// Called with target 2 holding the scene: takes a screenshot asked for with
// the canvas and without the interface.
void capture_canvas_screenshot(AppContext& app, FrameCaptures& captures, int32_t width, int32_t height);
// Called after the interface layers: takes a screenshot asked for with the
// interface, keeps a copy in target 1 for the preview, and asks for another
// frame when the canvas was left out.
void capture_interface_screenshot(AppContext& app, FrameCaptures& captures, int32_t width, int32_t height);
// Over the interface: the previews of the last screenshot and snapshot
// (target 1) while their options are on and nothing suppresses them.
void draw_capture_previews(AppContext& app, int32_t width, int32_t height);
// Runs the snapshot and screenshot callbacks of what this frame captured,
// each once.
void complete_frame_captures(AppContext& app, const FrameCaptures& captures);

// Draws the current entities and then the start-up mesh as lit surfaces with
// the bound program and uniforms; never builds buffers.
void draw_entities_vao(AppContext& app);

// Rebuilds and uploads a mesh's buffers when it is marked for upload, has
// none yet, or lacks the triangle run that `triangle_run` asks for (flat
// shading, triangle picking); then binds them. False when the mesh has no
// buffers to draw.
bool prepare_mesh_buffers(InteropMesh& mesh, bool triangle_run);

// The id colour of draw item i (the start-up mesh and entity 0 share 0):
// 24-bit RGB like the triangle ids.
std::array<float, 4> entity_id_colour(int32_t item);

#pragma once
#include <array>
#include <string>
#include <vector>

#include "art/sdf.h"

// One interface icon: the scenes to trace, the camera (z values stored
// negated: the camera uses (x, y, -z)), the lighting and the sky flag.
struct IconRecord {
    std::string name;
    IconSdf scene = nullptr;
    double eye_x = 0, eye_y = 0, eye_z = 0;
    double target_x = 0, target_y = 0, target_z = 0;
    int32_t layer_count = 0;                 // 2 for two-layer icons, else 0
    std::vector<IconSdf> layer_scenes;       // empty for one-layer icons
    std::vector<double> layer_cameras;       // 6 per layer, z stored negated
    double light_x = 0, light_y = 0, light_z = 0;
    double light_mix = 0;                    // 0 lights from the eye
    bool sky = true;
};

// Left, top, right and bottom margins as fractions of the image size, and the
// mask radius factor.
using IconFraming = std::array<double, 5>;

constexpr int icon_count = 57;

enum IconId {
    ICON_OPEN = 0, ICON_DELETE, ICON_ASTERISK, ICON_SETTINGS, ICON_EXPORT, ICON_THEME, ICON_SELECT,
    ICON_SELECTALL, ICON_SELECTNONE, ICON_MESH, ICON_VERTEX, ICON_EDGES, ICON_FACES, ICON_FOCUS,
    ICON_VISIBLE, ICON_HIDDEN, ICON_FLAT, ICON_SMOOTH, ICON_BUTTON, ICON_MATERIAL, ICON_SHADER,
    ICON_CAPTURE, ICON_ZOBUICON, ICON_ZOBUIOICON, ICON_REFRESH, ICON_SAVE, ICON_INFO, ICON_TYPE,
    ICON_TRIANGLES, ICON_WINDOW, ICON_WORLDSCALE, ICON_LIGHT, ICON_FOV, ICON_LOCKED, ICON_CAMERA,
    ICON_SLIDERS, ICON_BACKGROUND, ICON_FULLSCREEN, ICON_WARNING, ICON_ERROR, ICON_PARSE, ICON_ASSEMBLE,
    ICON_TOPOLOGY, ICON_COLOUR, ICON_SHADING, ICON_ORBIT, ICON_PROJECTION, ICON_STATE, ICON_WIDGETS,
    ICON_VIEW, ICON_QUESTION, ICON_MESHLIGHT, ICON_PROJECTIONLIGHT, ICON_VREK64, ICON_VREK128,
    ICON_SKIP, ICON_PARALLEL
};

IconRecord make_icon_record_simple(const char* name, IconSdf scene, double eye_x, double eye_y, double eye_z,
                                   double target_y, double target_z);
IconRecord make_icon_record_two_part(const char* name, IconSdf scene0, IconSdf scene1, double a0, double a1,
                                     double a2, double a3, double a4, double a5, double a6);
IconRecord make_icon_record_posed(const char* name, IconSdf scene, double b0, double b1, double b2, double b3,
                                  double b4, double b5, double b6, double b7, double b8);
void icon_record_copy_construct(IconRecord& destination, const IconRecord& source);

// Built before main, read-only afterwards.
extern const IconRecord sphere_icon;
IconRecord build_sphere_icon();
std::vector<IconRecord> build_icon_table();
std::vector<IconFraming> build_framing_table();
extern const std::vector<IconRecord> icon_table;
extern const std::vector<IconFraming> icon_framing_table;

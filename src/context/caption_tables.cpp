#include "context/caption_tables.h"

namespace {

template <typename T, size_t N>
constexpr TableGroup<T> group_of(const std::array<T, N>& items) {
    return {items.data(), N};
}

constexpr std::array<const char*, 5> view_topology_captions = {
    "Surface",
    "Polygons",
    "Triangles",
    "Gouraud",
    "Points",
};
constexpr std::array<TipPair, 5> view_topology_tips = {{
    {"topology : surface", "(select to toggle display of surfaces)"},
    {"topology : polygons", "(select to toggle display of polygon edges)"},
    {"topology : triangles", "(select to toggle display of triangle edges)"},
    {"topology : gouraud", "(select to toggle display of smooth-group edges)"},
    {"topology : points", "(select to toggle display of vertices)"},
}};

constexpr std::array<const char*, 5> view_colour_captions = {
    "RGBA",
    "Dark",
    "Light",
    "Function",
    "!",
};
constexpr std::array<TipPair, 5> view_colour_tips = {{
    {"colour : rgba", "(select to view per-vertex RGBA colours)"},
    {"colour : dark", "(select to view monotone dark colour)"},
    {"colour : light", "(select to view monotone light colour)"},
    {"colour : function", "(select to view data-driven functional colours)"},
    {"colour : negate", "(select to toggle negated/inverted colouring mode)"},
}};

constexpr std::array<const char*, 9> view_shading_captions = {
    "Flat (Faceted)",
    "Smooth (Gouraud)",
    "Transparent-Mode",
    "Mono-Edge",
    "Mono-Dot",
    "Brighten",
    "Silhouette",
    "X-Ray",
    "!",
};
constexpr std::array<TipPair, 9> view_shading_tips = {{
    {"shading : flat (faceted)", "(select to view surfaces without smooth-shading)"},
    {"shading : smooth (gouraud)", "(select to view surfaces with smooth-shading)"},
    {"shading : transparent-mode", "(select to toggle alpha-transparency surface-rendering mode)"},
    {"shading : monotone-edges", "(select to toggle monotonic edge-topology colouring scheme)"},
    {"shading : monotone-dots", "(select to toggle monotonic vertex-point colouring scheme)"},
    {"shading : brighten (GLSL)", "(select to toggle brightening modifier for GLSL shading)"},
    {"shading : silhouette (GLSL)", "(select to toggle silhouette edges for GLSL shading)"},
    {"shading : x-ray (GLSL)", "(select to toggle x-ray accumulation shading for GLSL)"},
    {"shading : negative (GLSL)", "(select to toggle screen-space colour-inversion for GLSL)"},
}};

constexpr std::array<const char*, 3> view_orbit_captions = {
    "Euler-Gimbal",
    "Quaternion",
    "About-Center",
};
constexpr std::array<TipPair, 3> view_orbit_tips = {{
    {"orbit : euler-orbit", "(select to use Euler rotations in object-orbit camera-control mode)"},
    {"orbit : quaternion", "(select to use quaternion rotations in object-orbit camera-control mode)"},
    {"orbit : about-center", "(select to toggle environment translation - so to center about the origin)"},
}};

constexpr std::array<const char*, 2> view_projection_captions = {
    "Orthographic",
    "Perspective",
};
constexpr std::array<TipPair, 2> view_projection_tips = {{
    {"projection : orthographic", "(select to view orthographic camera projection)"},
    {"projection : perspective", "(select to view perspective camera projection)"},
}};

constexpr std::array<const char*, 3> view_state_captions = {
    "Attribute-Trace",
    "Fit-Viewport",
    "Reset-Transform",
};
constexpr std::array<TipPair, 3> view_state_tips = {{
    {"state : attribute-trace", "(select to toggle the display of environment attributes)"},
    {"state : fit-viewport", "(select to zoom-fit the environment to the current viewport)"},
    {"state : reset-transform", "(select to reset camera attributes to initial default state)"},
}};

constexpr std::array<const char*, 4> view_widgets_captions = {
    "Axes",
    "Grids",
    "Rings",
    "Bounds",
};
constexpr std::array<TipPair, 4> view_widgets_tips = {{
    {"widgets : axes", "(select to toggle the display of the world-space axes widget)"},
    {"widgets : grids", "(select to toggle the display of the world-space grid widget)"},
    {"widgets : rings", "(select to toggle the display of the world-space ring widget)"},
    {"widgets : bounds", "(select to toggle the display of the environment-extent bounds-indicator)"},
}};

constexpr std::array<const char*, 6> view_view_captions = {
    "Top",
    "Base",
    "Left",
    "Right",
    "Front",
    "Back",
};
constexpr std::array<TipPair, 6> view_view_tips = {{
    {"view : top", "(select to view top side)"},
    {"view : base", "(select to view base side)"},
    {"view : left", "(select to view left side)"},
    {"view : right", "(select to view right side)"},
    {"view : front", "(select to view front side)"},
    {"view : back", "(select to view back side)"},
}};

constexpr std::array<const char*, 6> settings_window_captions = {
    "Width",
    "Height",
    "V-Flip-Mode",
    "Frame-Mode",
    "FPS",
    "Reset-Size",
};
// The last pair has no item: it belongs to the maximum-frame-rate field.
constexpr std::array<TipPair, 7> settings_window_tips = {{
    {"window : width", "(select to set window width)"},
    {"window : height", "(select to set window height)"},
    {"window : v-flip-mode \t [ i ]", "(select to toggle vertical-flip user-interface layout-mode)"},
    {"window : frame-mode \t [ k ]", "(select to toggle between 'framed' and 'edge-to-edge' 3D-canvas user-interface layout-mode)"},
    {"window : frame-rate", "(select to toggle display of the framerate readout widget)"},
    {"window : reset-size", "(select to reset window configuration attributes to application default state)"},
    {"window : frame-rate", "(select to set the maximum 3D rendering update frequency)"},
}};

constexpr std::array<const char*, 5> settings_shading_captions = {
    "Anti-Aliasing",
    "Linear-Gradient",
    "Radial-Gradient",
    "Fixed-Function",
    "Programmable",
};
constexpr std::array<TipPair, 5> settings_shading_tips = {{
    {"shading : anti-aliasing", "(select to toggle MSAA - i.e. multi-sampling anti-aliasing in shading)"},
    {"shading : linear-gradient", "(select to toggle backdrop linear-gradient shading)"},
    {"shading : radial-gradient", "(select to toggle backdrop radial-gradient shading)"},
    {"shading : fixed-function", "(select to use Open-GL's fixed-function legacy pipeline)"},
    {"shading : programmable", "(select to use Open-GL's shading-language programmable pipeline)"},
}};

constexpr std::array<const char*, 7> settings_lighting_captions = {
    "Unlit",
    "Ambient : kA",
    "Diffuse : kD",
    "Specular : kS",
    "Occlusion : kO",
    "Emission : kE",
    "Reflection : kR",
};
constexpr std::array<TipPair, 7> settings_lighting_tips = {{
    {"lighting : unlit", "(select to toggle unlit/colour lighting)"},
    {"lighting : ambient-term", "(select to toggle ambient lighting contribution)"},
    {"lighting : diffuse-term", "(select to toggle diffuse lighting contribution)"},
    {"lighting : specular-term", "(select to toggle specular lighting contribution)"},
    {"lighting : occlusive-term", "(select to toggle occlussion lighting contribution)"},
    {"lighting : emissive-term", "(select to toggle emission lighting contribution)"},
    {"lighting : reflective-term", "(select to toggle reflection lighting contribution)"},
}};

constexpr std::array<const char*, 3> settings_camera_captions = {
    "Object-Orbit",
    "Free-Roam",
    "First-Person",
};
constexpr std::array<TipPair, 3> settings_camera_tips = {{
    {"camera : object-orbit", "(select to use origin-centric object-orbit camera-controller)"},
    {"camera : free-roam", "(select to use general-motion editor-roam camera-controller)"},
    {"camera : first-person", "(select to use ground-anchored walk-through camera-controller)"},
}};

constexpr std::array<const char*, 5> settings_theme_captions = {
    "Dark",
    "Silver",
    "Light",
    "Charcoal",
    "Midnight",
};
constexpr std::array<TipPair, 5> settings_theme_tips = {{
    {"theme : dark", "(select to apply 'dark' user-interface colour-scheme)"},
    {"theme : silver", "(select to apply 'silver' user-interface colour-scheme)"},
    {"theme : light", "(select to apply 'light' user-interface colour-scheme)"},
    {"theme : charcoal", "(select to apply 'charcoal' user-interface colour-scheme)"},
    {"theme : midnight", "(select to apply 'midnight' user-interface colour-scheme)"},
}};

constexpr std::array<const char*, 12> settings_widgets_captions = {
    "Camera-Views",
    "Variant-Selector",
    "Parallel-Flags",
    "LL-Inspector",
    "Animator",
    "Alpha-Grid",
    "Upright-Grid",
    "Mono-Edge",
    "Mono-Dot",
    "Silhouette",
    "Eye-Y",
    "Enlarge-Trace",
};
constexpr std::array<TipPair, 12> settings_widgets_tips = {{
    {"widgets : camera-directives", "(select to toggle camera-directive/3D-breakpoint control)"},
    {"widgets : variant-selector", "(select to toggle parametric-variant selection control)"},
    {"widgets : parallel-flags", "(select to toggle parallel-assembly invoke-flags control)"},
    {"widgets : ll-inspector", "(select to toggle low-level mesh-inspection control)"},
    {"widgets : animator", "(select to toggle animation-player control)"},
    {"widgets : alpha-grid", "(select to toggle display of grid-widget's transparent elements)"},
    {"widgets : upright-grid", "(select to toggle grid-XY mode so to override the default grid-XZ mode)"},
    {"widgets : mono-edge-tone", "(select to cycle the intensity of monotone-shaded edges)"},
    {"widgets : mono-dot-tone", "(select to cycle the intensity of monotone-shaded points)"},
    {"widgets : silhouette-tone (GLSL)", "(select to cycle the intensity of silhouette-shaded texels)"},
    {"widgets : eye-Y-height", "(select to set first-person camera-controller's eye-height)"},
    {"widgets : enlarge-trace", "(select to toggle enlarged attribute-trace typeface)"},
}};

constexpr std::array<const char*, 6> settings_system_captions = {
    "UI-Animations",
    "Inverted-Zoom",
    "Inline-IO",
    "Native-IO",
    "Native-DND",
    "Minimal-Mode",
};
constexpr std::array<TipPair, 6> settings_system_tips = {{
    {"system-config : ui-animations", "(select to toggle user-interface animations)"},
    {"system-config : inverted-zoom", "(select to toggle zoom-scroll/forward-back-scroll direction inversion)"},
    {"system-config : inline-io", "(select to enable/disable inline input-output)"},
    {"system-config : native-io", "(select to enable/disable external/native input-output)"},
    {"system-config : native-dnd", "(select to enable/disable drag-and-drop input)"},
    {"system-config : minimal-mode", "(select to enable minimalistic layout mode)"},
}};

}  // namespace

const std::array<const char*, 8> view_menu_captions = {
    "TOPOLOGY",
    "COLOUR",
    "SHADING",
    "ORBIT",
    "PROJECTION",
    "STATE",
    "WIDGETS",
    "VIEW",
};
const std::array<TipPair, 8> view_menu_tips = {{
    {"topology", "(select to set the type of mesh elements displayed)"},
    {"colour", "(select to set the mesh colour display mode)"},
    {"shading", "(select to set the mesh shading mode options)"},
    {"orbit", "(select to set the mesh orbiting type flags)"},
    {"projection", "(select to set the mesh display projection mode)"},
    {"state", "(select to control behavioural state options)"},
    {"widgets", "(select to toggle world-space indicator widgets)"},
    {"view", "(select for preset view orientations)"},
}};
const std::array<const char*, 10> settings_menu_captions = {
    "WINDOW",
    "SHADING",
    "LIGHTING",
    "FULLSCREEN",
    "CAMERA",
    "LOCK",
    "THEME",
    "SLIDERS",
    "WIDGETS",
    "SETTINGS",
};
const std::array<TipPair, 10> settings_menu_tips = {{
    {"window properties", "(select to configure the UI window)"},
    {"shading", "(select to configure global rendering & shading attributes)"},
    {"lighting", "(select to configure lighting attributes)"},
    {"full-screen", "(select to switch between fullscreen and windowed display modes)"},
    {"camera settings", "(select to configure the camera controller type)"},
    {"camera-lock", "(select to lock and unlock changes to the camera state)"},
    {"ui-theme", "(select to switch the user-interface's colour-scheme)"},
    {"slider-bar", "(select to toggle the display of the slider-bar)"},
    {"widgets", "(select to configure the display of world-space indicator widgets)"},
    {"system config.", "(select to configure further application systems)"},
}};

const std::array<CaptionGroup, 8> view_menu_item_captions = {
    group_of(view_topology_captions),
    group_of(view_colour_captions),
    group_of(view_shading_captions),
    group_of(view_orbit_captions),
    group_of(view_projection_captions),
    group_of(view_state_captions),
    group_of(view_widgets_captions),
    group_of(view_view_captions),
};
const std::array<TipGroup, 8> view_menu_item_tips = {
    group_of(view_topology_tips),
    group_of(view_colour_tips),
    group_of(view_shading_tips),
    group_of(view_orbit_tips),
    group_of(view_projection_tips),
    group_of(view_state_tips),
    group_of(view_widgets_tips),
    group_of(view_view_tips),
};
// Full screen, lock and sliders act at once and never show their groups;
// the groups are those of the view menus at the same index all the same.
const std::array<CaptionGroup, 10> settings_menu_item_captions = {
    group_of(settings_window_captions),
    group_of(settings_shading_captions),
    group_of(settings_lighting_captions),
    group_of(view_orbit_captions),
    group_of(settings_camera_captions),
    group_of(view_state_captions),
    group_of(settings_theme_captions),
    group_of(view_view_captions),
    group_of(settings_widgets_captions),
    group_of(settings_system_captions),
};
const std::array<TipGroup, 10> settings_menu_item_tips = {
    group_of(settings_window_tips),
    group_of(settings_shading_tips),
    group_of(settings_lighting_tips),
    group_of(view_orbit_tips),
    group_of(settings_camera_tips),
    group_of(view_state_tips),
    group_of(settings_theme_tips),
    group_of(view_view_tips),
    group_of(settings_widgets_tips),
    group_of(settings_system_tips),
};

const std::array<TipPair, 3> tool_bar_left_tips = {{
    {"open script \t [ ctrl + o ]", "(select to open a vrekform script file)"},
    {"parse script \t [ ctrl + p ]", "(select to parse script statements)"},
    {"assemble mesh \t [ ctrl/shft + r ]", "(select to assemble 3D mesh)"},
}};
const std::array<TipPair, 3> tool_bar_right_tips = {{
    {"capture image \t [ ctrl + 8 ]", "(select to capture image snapshot)"},
    {"export mesh \t [ ctrl + s ]", "(select to export mesh interchange file)"},
    {"settings \t [ m ]", "(select to toggle display of the options menu)"},
}};
const std::array<TipPair, 3> pane_tab_tips = {{
    {"console trace", "(select for system, kernel, script, io and error logs)"},
    {"entity inspector", "(select to inspect entity attributes)"},
    {"parameter control", "(select to configure entity parameters)"},
}};
const TipPair add_environment_tip = {"add environment \t [ ctrl + n ]", "(select to create a new environment)"};
const TipPair about_tip = {"about vrek:ei", "(select to display information about this program)"};
const TipPair help_tip = {"usage instructions", "(select to display help using this program)"};
const std::array<TipPair, 4> slider_tips = {{
    {"world-scale [ 0 : 1 ]", "(use the field-slider to adjust)"},
    {"field-of-view [ 20 : 160 ]", "(use the field-slider to adjust)"},
    {"light-intensity [ 0 : 1 ]", "(use the field-slider to adjust)"},
    {"background-intensity [ 0 : 1 ]", "(use the field-slider to adjust)"},
}};

const std::array<const char*, 15> colour_function_captions = {
    "elevation",
    "depth",
    "normal",
    "verticality",
    "planarity",
    "curvature",
    "quality",
    "valence-NGON",
    "valence-TESS",
    "declaration-order",
    "operand",
    "face-ID",
    "group-ID",
    "element-ID",
    "batch-ID",
};
const std::array<TipPair, 15> colour_function_tips = {{
    {"colour-by: elevation", "(select to apply 'by-height' functional colourisation mode)"},
    {"colour-by: depth", "(select to apply 'by-Z-component' functional colourisation mode)"},
    {"colour-by: normal", "(select to apply 'by-surface-normal' functional colourisation mode)"},
    {"colour-by: verticality", "(select to apply 'by-surface-normal-Y-component' functional colourisation mode)"},
    {"colour-by: planarity", "(select to apply 'by-surface-flatness' functional colourisation mode)"},
    {"colour-by: curvature", "(select to apply 'by-surface-roundness' functional colourisation mode)"},
    {"colour-by: element-quality", "(select to apply 'by-triangle-quality' functional colourisation mode)"},
    {"colour-by: valence-ngon", "(select to apply 'by-polygonal-1-ring-size' functional colourisation mode)"},
    {"colour-by: valence-tess", "(select to apply 'by-triangular-1-ring-size' functional colourisation mode)"},
    {"colour-by: declaration-order", "(select to apply 'by-vertex-emission-order' functional colourisation mode)"},
    {"colour-by: operand", "(select to apply 'by-entity-ID' discrete functional colourisation mode)"},
    {"colour-by: face-identifier", "(select to apply 'by-polygon-ID' discrete functional colourisation mode)"},
    {"colour-by: group-identifier", "(select to apply 'by-smooth-group-ID' discrete functional colourisation mode)"},
    {"colour-by: parallel-element", "(select to apply 'by-parallel-element-ID' discrete functional colourisation mode)"},
    {"colour-by: parallel-batch", "(select to apply 'by-parallel-batch-ID' discrete functional colourisation mode)"},
}};
const TipPair multichannel_colour_tip = {"multi-channel-colour-space", "(select to toggle RGB|HSB and grayscale colourisation)"};

const std::array<TipPair, 4> trace_toggle_tips = {{
    {"kernel trace", "(select to display kernel invocation messages)"},
    {"script trace", "(select to display script print statement messages)"},
    {"file-io trace", "(select to display input-output operation messsage)"},
    {"error trace", "(select to display parsing and assembly error messages)"},
}};
const std::array<TipPair, 6> parameter_button_tips = {{
    {"parametric auto-sync.", "(select to toggle automatic-parameter-synchronisation)"},
    {"parametric immediate mode", "(select to toggle immediate-parameter-refresh mode)"},
    {"parametric multi-edit mode", "(select to toggle multiple-parameter-editing mode)"},
    {"reset parameters", "(select to reset parameter values to default state)"},
    {"parametric variants", "(select to display parametric variant controller)"},
    {"apply parameters", "(select to push any pending parametric mutations)"},
}};
const std::array<TipPair, 10> camera_directive_bar_tips = {{
    {"sync-CDs", "(select to synchronise camera-directives)"},
    {"root-CD-mode", "(select to toggle environment-root versus selected-entity camera-directive filtering mode)"},
    {"grid|list-CD", "(select to toggle list or grid camera-directive layout mode)"},
    {"auto-sync-CDs", "(select to toggle automatic state synchronisation for camera-directives)"},
    {"previous-CD", "(select to apply the previous camera-directive)"},
    {"next-CD", "(select to apply the next camera-directive)"},
    {"animate-CD", "(select to toggle camera-directive state-transition animations)"},
    {"goto-CD", "(select to toggle display of direct-input 'goto' camera-directive control)"},
    {"eye-position \t V3:[x,y,z]", "(enter )"},
    {"look-at-position \t V3:[x,y,z]", "(enter )"},
}};
const std::array<TipPair, 7> parallel_flags_bar_tips = {{
    {"parallel-flags", "(select to expand/collapse the parallel-assembly command-flag control-bar)"},
    {"max-cores", "(select to set the maximum number of concurrent processors during parallel-assembly)"},
    {"multi-core-processing", "(select to enable/disable simultaneous execution for parallel entities)"},
    {"re-assembly-culling", "(select to enable/disable source-to-source parallel-re-assembly-culling)"},
    {"invocation-groups", "(select to enable/disable parallel-assembly batching for applicable entities during multi-core execution)"},
    {"constant-cost-parallel-prefix", "(select to enable/disable the CCPP optimisation for applicable parallel entities)"},
    {"pre-emptive-optimisation", "(select to enable/disable pre-emptive optimisation for applicable parallel entities)"},
}};
const std::array<TipPair, 8> llmi_bar_tips = {{
    {"ll-inspector", "(select to expand/collapse the low-level mesh-inspector selection-type control-bar)"},
    {"ll-pick-mode: none", "(select to disable mesh-inspection selection)"},
    {"ll-pick-mode: triangle", "(select to enable triangle picking-mode for lower-level mesh inpsection)"},
    {"ll-pick-mode: polygon", "(select to enable polygon/N-gon picking-mode for lower-level mesh inspection)"},
    {"ll-pick-mode: gouraud-group", "(select to enable Gouraud smooth-shading-group picking-mode for lower-level mesh inspection)"},
    {"ll-pick-mode: operand", "(select to enable operand picking-mode for lower-level mesh inspection)"},
    {"ll-pick-mode: entity/element", "(select to enable entity/parallel-element picking-mode for lower-level mesh inspection)"},
    {"ll-pick-mode: user-defined", "(select to enable user-defined-identifier picking-mode for lower-level mesh inspection)"},
}};

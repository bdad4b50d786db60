#include "render/colour_by.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <system_error>
#include <thread>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "context/tables.h"
#include "platform/process.h"

const double colour_palette[16][4] = {
    {0.25, 0.5, 1.0, 1.0},   {1.0, 0.75, 0.0, 1.0},   {0.5, 0.75, 0.25, 1.0}, {0.75, 0.25, 0.5, 1.0},
    {0.75, 0.25, 0.0, 1.0},  {0.25, 0.0, 0.75, 1.0},  {0.25, 0.75, 0.5, 1.0}, {0.5, 0.75, 1.0, 1.0},
    {0.25, 0.25, 0.25, 1.0}, {0.5, 0.5, 0.5, 1.0},    {0.75, 0.75, 0.75, 1.0}, {1.0, 1.0, 1.0, 1.0},
    {0.5, 0.0, 0.5, 1.0},    {0.5, 0.5, 0.0, 1.0},    {0.0, 0.0, 0.5, 1.0},   {0.5, 0.0, 0.0, 1.0},
};

std::vector<double> element_colour_scratch;

namespace {

// Working arrays of the per-vertex functions, kept between calls so that
// recolouring a large mesh again does not fault in fresh pages. Made on
// first use.
struct WorkArrays {
    std::vector<double> vertex_values;
    std::vector<uint32_t> vertex_counts;
    std::vector<uint32_t> id_ranks;
    std::vector<uint32_t> id_table;
    std::vector<double> rank_colours;
};

WorkArrays& work() {
    static WorkArrays arrays;
    return arrays;
}

// n zeros; all-zero bytes are zero for the numbers kept here, and a
// memset clears faster than an element loop.
template <typename T>
void reset(std::vector<T>& v, size_t n) {
    v.resize(n);
    if (n > 0) std::memset(v.data(), 0, n * sizeof(T));
}

size_t vertex_count(const InteropMesh& mesh) {
    return mesh.dimension > 0 ? mesh.positions.size() / static_cast<size_t>(mesh.dimension) : 0;
}

// Display colours that can be written for every vertex.
size_t colourable(const InteropMesh& mesh) { return std::min(vertex_count(mesh), mesh.display_colours.size() / 4); }

// The six 60-degree sectors in closed form (no branches: colour-by ramps
// over noisy values would mispredict every sector test):
// r = |x - 3| - 1, g = 2 - |x - 2|, b = 2 - |x - 4| with x = h * 6, each
// clamped to 0..1; beyond a full turn black.
// Inlined into the per-vertex loops.
__attribute__((always_inline)) inline Rgb hue_rgb(double h) {
    const double d = h * 360.0;
    const double x = d / 60.0;
    auto unit = [](double v) {
        v = v > 0.0 ? v : 0.0;
        return v < 1.0 ? v : 1.0;
    };
    const double visible = d > 360.0 ? 0.0 : 1.0;
    return {unit(std::fabs(x - 3.0) - 1.0) * visible, unit(2.0 - std::fabs(x - 2.0)) * visible,
            unit(2.0 - std::fabs(x - 4.0)) * visible};
}

__attribute__((always_inline)) inline uint8_t unit_byte(double c) {
    // NaN fails the first comparison and becomes 0.
    double scaled = c * 255.0;
    scaled = scaled > 0.0 ? scaled : 0.0;
    scaled = scaled < 255.0 ? scaled : 255.0;
    return static_cast<uint8_t>(static_cast<int32_t>(scaled));
}

void set_rgb(InteropMesh& mesh, size_t i, uint8_t r, uint8_t g, uint8_t b) {
    uint8_t* c = mesh.display_colours.data() + 4 * i;
    c[0] = r;
    c[1] = g;
    c[2] = b;
}

__attribute__((always_inline)) inline void set_unit_rgb(InteropMesh& mesh, size_t i, const Rgb& rgb) {
    set_rgb(mesh, i, unit_byte(rgb.r), unit_byte(rgb.g), unit_byte(rgb.b));
}

__attribute__((always_inline)) inline void set_ramp(InteropMesh& mesh, size_t i, int32_t variant, double t) {
    if (variant == COLOUR_GREY) {
        const uint8_t v = unit_byte(t);
        set_rgb(mesh, i, v, v, v);
    } else {
        set_unit_rgb(mesh, i, hue_rgb(t * 0.75));
    }
}

void colour_by_range(InteropMesh& mesh, int32_t variant, const double* values, double low, double high,
                     bool invert);

bool has_positions(const InteropMesh& mesh, int32_t least_dimension) {
    return !mesh.positions.empty() && mesh.dimension >= least_dimension;
}

// Bounds row `row`, coordinate `axis`, or NaN when the mesh lacks it.
double bound(const InteropMesh& mesh, int32_t row, int32_t axis) {
    const size_t at = static_cast<size_t>(row) * static_cast<size_t>(mesh.dimension) + static_cast<size_t>(axis);
    return at < mesh.bounds.size() ? mesh.bounds[at] : std::numeric_limits<double>::quiet_NaN();
}

void colour_by_axis(InteropMesh& mesh, int32_t variant, int32_t axis) {
    if (!has_positions(mesh, axis + 1)) return;
    const double low = bound(mesh, 0, axis);
    const double extent = bound(mesh, 4, axis);
    if (!(extent > 0.0) || !std::isfinite(low)) return;
    const size_t n = colourable(mesh);
    const size_t d = static_cast<size_t>(mesh.dimension);
    for (size_t i = 0; i < n; ++i) set_ramp(mesh, i, variant, (mesh.positions[d * i + axis] - low) / extent);
}

struct Vec3 {
    double x, y, z;
};
Vec3 sub(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double squared_length(const Vec3& a) { return a.x * a.x + a.y * a.y + a.z * a.z; }

Vec3 position(const InteropMesh& mesh, size_t v) {
    const double* p = mesh.positions.data() + 3 * v;
    return {p[0], p[1], p[2]};
}

// Calls visit(a, b, c) for every triangle whose three corners are vertices.
template <typename Visit>
void for_each_triangle(const InteropMesh& mesh, size_t n, Visit visit) {
    const size_t count = mesh.triangles.size() / 3;
    const uint32_t* t = mesh.triangles.data();
    for (size_t k = 0; k < count; ++k, t += 3) {
        if (t[0] < n && t[1] < n && t[2] < n) visit(t[0], t[1], t[2]);
    }
}

// Calls visit(polygon, corner) for every corner of the polygon list that
// names a vertex, in list order; `polygon` is the index into the per-polygon
// id lists.
template <typename Visit>
void for_each_polygon_corner(const InteropMesh& mesh, size_t n, Visit visit) {
    const std::vector<uint32_t>& list = mesh.polygons;
    if (list.empty() || mesh.polygon_size < 0) return;
    if (mesh.polygon_size > 0) {
        const size_t size = static_cast<size_t>(mesh.polygon_size);
        for (size_t at = 0; at < list.size(); ++at) {
            if (list[at] < n) visit(at / size, list[at]);
        }
        return;
    }
    const size_t polygons = std::min<size_t>(list[0], list.size() - 1);
    size_t at = 1 + polygons;
    for (size_t j = 0; j < polygons && at < list.size(); ++j) {
        const size_t end = std::min<size_t>(list.size(), at + list[1 + j]);
        for (; at < end; ++at) {
            if (list[at] < n) visit(j, list[at]);
        }
    }
}

// Element colour of rank r among d distinct ids.
Rgb element_colour(int32_t variant, int32_t function, size_t r, size_t d) {
    const double t = static_cast<double>(r) / static_cast<double>(d);
    if (variant == COLOUR_GREY) return {t, t, t};
    if (function == COLOUR_BY_FACEID) return hue_rgb(t * 0.75);
    const double* p = colour_palette[r % 16];
    return {p[0], p[1], p[2]};
}

// The rank of every id of the list, in ascending id order, and the number
// of distinct ids. Dense ids (the usual case) use a table, others a sort.
size_t rank_ids(const std::vector<uint32_t>& ids, std::vector<uint32_t>& ranks) {
    const auto [low_it, high_it] = std::minmax_element(ids.begin(), ids.end());
    const uint32_t low = *low_it;
    const uint64_t span = static_cast<uint64_t>(*high_it) - low + 1;
    ranks.resize(ids.size());
    if (span <= 4 * ids.size() + 1024) {
        std::vector<uint32_t>& table = work().id_table;
        reset(table, static_cast<size_t>(span));
        for (uint32_t id : ids) table[id - low] = 1;
        uint32_t next = 0;
        for (uint32_t& slot : table) {
            const uint32_t present = slot;
            slot = next;
            next += present;
        }
        for (size_t i = 0; i < ids.size(); ++i) ranks[i] = table[ids[i] - low];
        return next;
    }
    std::vector<uint32_t> distinct(ids);
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    for (size_t i = 0; i < ids.size(); ++i) {
        ranks[i] = static_cast<uint32_t>(std::lower_bound(distinct.begin(), distinct.end(), ids[i]) - distinct.begin());
    }
    return distinct.size();
}

}  // namespace

Rgb hue_to_rgb(double h) { return hue_rgb(h); }

uint8_t unit_to_byte(double c) { return unit_byte(c); }

void fill_monotone_colour(InteropMesh& mesh, double v) {
    const uint8_t b = unit_to_byte(v);
    const size_t n = mesh.display_colours.size() / 4;
    for (size_t i = 0; i < n; ++i) set_rgb(mesh, i, b, b, b);
}

void colour_by_scalar(InteropMesh& mesh, int32_t variant, const std::vector<double>& values, bool invert) {
    const size_t n = vertex_count(mesh);
    if (mesh.positions.empty() || values.size() != n) return;
    double low = std::numeric_limits<double>::infinity();
    double high = negative_infinity;
    for (double v : values) {
        low = std::min(low, v);
        high = std::max(high, v);
    }
    colour_by_range(mesh, variant, values.data(), low, high, invert);
}

void colour_by_elevation(InteropMesh& mesh, int32_t variant) { colour_by_axis(mesh, variant, 1); }

void colour_by_depth(InteropMesh& mesh, int32_t variant) { colour_by_axis(mesh, variant, 2); }

void colour_by_normal(InteropMesh& mesh, int32_t variant, int32_t function) {
    if (!has_positions(mesh, 3)) return;
    const size_t d = static_cast<size_t>(mesh.dimension);
    const NormalList normals = triangle_normals_of(mesh);
    const size_t n = std::min(colourable(mesh), normals.size() / d);
    for (size_t i = 0; i < n; ++i) {
        const double v[3] = {normals[d * i], normals[d * i + 1], normals[d * i + 2]};
        if (function == COLOUR_BY_VERTICALITY) {
            set_ramp(mesh, i, variant, 1.0 - std::fabs(v[1]));
        } else if (variant == COLOUR_GREY) {
            const double l =
                0.2126 * (v[0] / 2 + 0.5) + 0.7152 * (v[1] / 2 + 0.5) + 0.0722 * (v[2] / 2 + 0.5);
            const uint8_t b = unit_to_byte(l);
            set_rgb(mesh, i, b, b, b);
        } else {
            set_unit_rgb(mesh, i, {v[0] / 2 + 0.5, v[1] / 2 + 0.5, v[2] / 2 + 0.5});
        }
    }
}

namespace {

// The passes below work four doubles at once where the processor has AVX
// (checked at run time), else one at a time; packed square roots,
// divisions, products, sums, minima, maxima and truncations round exactly
// like the scalar ones, and nothing is fused, so both paths give the same
// bits on any processor.

// Where the normal deviation reads and adds: positions (three doubles per
// vertex), the first `normal_count` stored normals, and the per-vertex sums
// and counts.
struct DeviationArrays {
    const double* positions;
    const double* normals;
    size_t normal_count;
    double* sums;
    uint32_t* counts;
};

// The vertices [lo, hi) whose sums one thread adds: each walks every
// triangle in list order, so a vertex's sum is added in the same order
// whichever thread owns it.
struct VertexRange {
    size_t lo, hi;
    bool holds(size_t v) const { return lo <= v && v < hi; }
};

// One triangle's share: its face normal (b - a) x (c - a), made unit when
// its squared length is above 1e-15, and the distance from it to the stored
// normal of each corner in the range that has one, added in corner order.
inline void add_deviation(const DeviationArrays& w, const uint32_t* t, VertexRange range) {
    if (!range.holds(t[0]) && !range.holds(t[1]) && !range.holds(t[2])) return;
    const double* pa = w.positions + 3 * static_cast<size_t>(t[0]);
    const double* pb = w.positions + 3 * static_cast<size_t>(t[1]);
    const double* pc = w.positions + 3 * static_cast<size_t>(t[2]);
    const double e1x = pb[0] - pa[0], e1y = pb[1] - pa[1], e1z = pb[2] - pa[2];
    const double e2x = pc[0] - pa[0], e2y = pc[1] - pa[1], e2z = pc[2] - pa[2];
    double fx = e1y * e2z - e1z * e2y;
    double fy = e1z * e2x - e1x * e2z;
    double fz = e1x * e2y - e1y * e2x;
    const double squared = fx * fx + fy * fy + fz * fz;
    if (squared > 1e-15) {
        const double inv = 1.0 / std::sqrt(squared);
        fx *= inv;
        fy *= inv;
        fz *= inv;
    }
    for (size_t k = 0; k < 3; ++k) {
        const uint32_t v = t[k];
        if (v >= w.normal_count || !range.holds(v)) continue;
        const double* q = w.normals + 3 * static_cast<size_t>(v);
        const double dx = fx - q[0], dy = fy - q[1], dz = fz - q[2];
        w.sums[v] += std::sqrt(dx * dx + dy * dy + dz * dz);
        ++w.counts[v];
    }
}

// Every triangle whose corners are all below n, in list order.
void add_deviations(const DeviationArrays& w, const uint32_t* t, size_t triangles, size_t n, VertexRange range) {
    for (size_t i = 0; i < triangles; ++i, t += 3) {
        if (t[0] < n && t[1] < n && t[2] < n) add_deviation(w, t, range);
    }
}

// Divides every sum with a count by it; the lowest and highest results.
void take_means_tail(double* sums, const uint32_t* counts, size_t from, size_t n, double& low, double& high) {
    for (size_t v = from; v < n; ++v) {
        if (counts[v] > 0) sums[v] /= counts[v];
        low = std::min(low, sums[v]);
        high = std::max(high, sums[v]);
    }
}

// Colour bytes of a ramp over `values` (t = (value - low) / range, turned
// round when `invert`): grey, or hue over three quarters of the circle.
// Vertices `from` .. n - 1.
void ramp_tail(InteropMesh& mesh, int32_t variant, const double* values, double low, double range, bool invert,
               size_t from, size_t n) {
    for (size_t i = from; i < n; ++i) {
        double t = (values[i] - low) / range;
        if (invert) t = 1.0 - t;
        set_ramp(mesh, i, variant, t);
    }
}

// Alpha bytes of vertices from .. n - 1 from the source alpha (the fourth
// of every four doubles), halved and raised for the transparent mode.
void alpha_tail(uint8_t* colours, const double* source, bool transparent, size_t from, size_t n) {
    for (size_t i = from; i < n; ++i) {
        const uint8_t alpha = unit_byte(source[4 * i + 3]);
        colours[4 * i + 3] = transparent ? static_cast<uint8_t>(alpha * 0.5 + 64.0) : alpha;
    }
}

// Runs work(k, from, to) over `parts` consecutive ranges of 0 .. n, range 0
// on the calling thread; a range whose thread cannot be started is worked
// here after it. Ranges share no element, so the result does not depend on
// the number of parts.
template <typename Work>
void in_vertex_ranges(size_t n, size_t parts, const Work& work) {
    const auto from = [n, parts](size_t k) { return n * k / parts; };
    std::vector<std::thread> helpers;
    helpers.reserve(parts);
    for (size_t k = 1; k < parts; ++k) {
        try {
            helpers.emplace_back([&work, &from, k] { work(k, from(k), from(k + 1)); });
        } catch (const std::system_error&) {
            break;
        }
    }
    work(0, from(0), from(1));
    for (size_t k = helpers.size() + 1; k < parts; ++k) work(k, from(k), from(k + 1));
    for (std::thread& helper : helpers) helper.join();
}

// Threads for a pass that streams through n vertices: one below 256 Ki,
// where starting threads costs more than the pass, else up to four.
size_t streaming_parts(size_t n) {
    if (n < (size_t{1} << 18)) return 1;
    return static_cast<size_t>(std::clamp(usable_cores(), 1, 4));
}

#if defined(__x86_64__)
// The three coordinates of corner k of four triangles, from three doubles
// per vertex starting at at[k], at[3 + k], at[6 + k] and at[9 + k]: pairs
// (x, y) and (y, z) of two vertices per load, sorted into lanes.
struct Coordinates {
    __m256d x, y, z;
};

__attribute__((target("avx"), always_inline)) inline Coordinates corner_coordinates(const double* p,
                                                                                   const size_t* at, size_t k) {
    const double* v0 = p + at[k];
    const double* v1 = p + at[3 + k];
    const double* v2 = p + at[6 + k];
    const double* v3 = p + at[9 + k];
    // Lanes 0 and 2 from vertices 0 and 2, lanes 1 and 3 from 1 and 3.
    const __m256d xy02 = _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(v0)), _mm_loadu_pd(v2), 1);
    const __m256d xy13 = _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(v1)), _mm_loadu_pd(v3), 1);
    const __m256d yz02 =
        _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(v0 + 1)), _mm_loadu_pd(v2 + 1), 1);
    const __m256d yz13 =
        _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(v1 + 1)), _mm_loadu_pd(v3 + 1), 1);
    return {_mm256_unpacklo_pd(xy02, xy13), _mm256_unpackhi_pd(xy02, xy13), _mm256_unpackhi_pd(yz02, yz13)};
}

// Vertex starts in an array of three doubles per vertex of the twelve
// corners of four triangles; those at or above `count` read vertex 0.
template <bool Checked>
__attribute__((always_inline)) inline void corner_starts(const uint32_t* t, size_t count, size_t* at) {
#pragma GCC unroll 12
    for (size_t k = 0; k < 12; ++k) at[k] = !Checked || t[k] < count ? 3 * static_cast<size_t>(t[k]) : 0;
}

// Four triangles at a time, one per lane, each lane doing what add_deviation
// does in the same order. A block of triangles goes in three passes: unit
// face normals, corner distances, then the sums, added triangle by triangle
// and corner by corner as one at a time would; the square roots of a pass
// do not wait for each other. Four triangles with no corner in the range
// are passed over. A triangle with a corner beyond the vertices is worked on
// vertex 0 and not added. `Complete`: every vertex has a stored normal.
template <bool Complete>
__attribute__((target("avx"))) void add_deviations_avx(const DeviationArrays& w, const uint32_t* t,
                                                       size_t triangles, size_t n, VertexRange range) {
    const double* p = w.positions;
    const double* nv = w.normals;
    const size_t normals = w.normal_count;
    double* sums = w.sums;
    uint32_t* counts = w.counts;
    constexpr size_t quads = 64;
    alignas(32) double fx[4 * quads], fy[4 * quads], fz[4 * quads];
    alignas(32) double distance[3][4 * quads];
    // The four-triangle groups of a block that reach the range, in order;
    // per group, a bit for each triangle with a corner beyond the vertices,
    // and whether all twelve corners lie in the range.
    uint32_t group[quads];
    uint32_t beyond[quads];
    bool inside[quads];
    const __m256d one = _mm256_set1_pd(1.0), floor = _mm256_set1_pd(1e-15);
    const size_t whole = triangles / 4;
    for (size_t first = 0; first < whole; first += quads) {
        const size_t m = std::min(quads, whole - first);
        const uint32_t* block = t + 12 * first;
        size_t reached = 0;
        for (size_t q = 0; q < m; ++q) {
            const uint32_t* corner = block + 12 * q;
            uint32_t highest = corner[0], lowest = corner[0];
#pragma GCC unroll 12
            for (size_t k = 1; k < 12; ++k) {
                highest = std::max(highest, corner[k]);
                lowest = std::min(lowest, corner[k]);
            }
            if (lowest >= range.hi || highest < range.lo) continue;
            bool reaches = lowest >= range.lo && highest < range.hi;
            for (size_t k = 0; k < 12 && !reaches; ++k) reaches = range.holds(corner[k]);
            if (!reaches) continue;
            const size_t s = reached++;
            group[s] = static_cast<uint32_t>(q);
            inside[s] = lowest >= range.lo && highest < range.hi;
            size_t at[12];
            if (highest < n) {
                beyond[s] = 0;
                corner_starts<false>(corner, n, at);
            } else {
                uint32_t bits = 0;
                for (size_t j = 0; j < 4; ++j) {
                    if (corner[3 * j] >= n || corner[3 * j + 1] >= n || corner[3 * j + 2] >= n) bits |= 1u << j;
                }
                beyond[s] = bits;
                corner_starts<true>(corner, n, at);
                for (size_t j = 0; j < 4; ++j) {
                    if (bits & (1u << j)) at[3 * j] = at[3 * j + 1] = at[3 * j + 2] = 0;
                }
            }
            const Coordinates a = corner_coordinates(p, at, 0), b = corner_coordinates(p, at, 1),
                              c = corner_coordinates(p, at, 2);
            const __m256d e1x = _mm256_sub_pd(b.x, a.x), e1y = _mm256_sub_pd(b.y, a.y),
                          e1z = _mm256_sub_pd(b.z, a.z);
            const __m256d e2x = _mm256_sub_pd(c.x, a.x), e2y = _mm256_sub_pd(c.y, a.y),
                          e2z = _mm256_sub_pd(c.z, a.z);
            const __m256d x = _mm256_sub_pd(_mm256_mul_pd(e1y, e2z), _mm256_mul_pd(e1z, e2y));
            const __m256d y = _mm256_sub_pd(_mm256_mul_pd(e1z, e2x), _mm256_mul_pd(e1x, e2z));
            const __m256d z = _mm256_sub_pd(_mm256_mul_pd(e1x, e2y), _mm256_mul_pd(e1y, e2x));
            const __m256d squared =
                _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(x, x), _mm256_mul_pd(y, y)), _mm256_mul_pd(z, z));
            const __m256d inv = _mm256_div_pd(one, _mm256_sqrt_pd(squared));
            // Multiplying by 1 leaves a component as it was. (A blend here is
            // turned into branches by some compilers.)
            const __m256d above = _mm256_cmp_pd(squared, floor, _CMP_GT_OQ);
            const __m256d scale = _mm256_or_pd(_mm256_and_pd(above, inv), _mm256_andnot_pd(above, one));
            _mm256_store_pd(fx + 4 * s, _mm256_mul_pd(x, scale));
            _mm256_store_pd(fy + 4 * s, _mm256_mul_pd(y, scale));
            _mm256_store_pd(fz + 4 * s, _mm256_mul_pd(z, scale));
        }
        for (size_t s = 0; s < reached; ++s) {
            const uint32_t* c = block + 12 * group[s];
            // A corner without a stored normal reads normal 0 and adds nothing.
            size_t at[12];
            if (Complete && beyond[s] == 0)
                corner_starts<false>(c, normals, at);
            else
                corner_starts<true>(c, normals, at);
            const __m256d x = _mm256_load_pd(fx + 4 * s), y = _mm256_load_pd(fy + 4 * s),
                          z = _mm256_load_pd(fz + 4 * s);
#pragma GCC unroll 3
            for (size_t k = 0; k < 3; ++k) {
                const Coordinates normal = corner_coordinates(nv, at, k);
                const __m256d dx = _mm256_sub_pd(x, normal.x);
                const __m256d dy = _mm256_sub_pd(y, normal.y);
                const __m256d dz = _mm256_sub_pd(z, normal.z);
                const __m256d d2 = _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(dx, dx), _mm256_mul_pd(dy, dy)),
                                                 _mm256_mul_pd(dz, dz));
                _mm256_store_pd(distance[k] + 4 * s, _mm256_sqrt_pd(d2));
            }
        }
        for (size_t s = 0; s < reached; ++s) {
            const uint32_t* c = block + 12 * group[s];
            if (Complete && inside[s] && beyond[s] == 0) {
#pragma GCC unroll 12
                for (size_t k = 0; k < 12; ++k) {
                    const uint32_t v = c[k];
                    sums[v] += distance[k % 3][4 * s + k / 3];
                    ++counts[v];
                }
                continue;
            }
            for (size_t k = 0; k < 12; ++k) {
                const uint32_t v = c[k];
                if ((beyond[s] & (1u << (k / 3))) || v >= normals || !range.holds(v)) continue;
                sums[v] += distance[k % 3][4 * s + k / 3];
                ++counts[v];
            }
        }
    }
    _mm256_zeroupper();  // before the calls built without AVX (see alpha_avx)
    t += 12 * whole;
    for (size_t i = 4 * whole; i < triangles; ++i, t += 3) {
        if (t[0] < n && t[1] < n && t[2] < n) add_deviation(w, t, range);
    }
}

__attribute__((target("avx"))) void take_means_avx(double* sums, const uint32_t* counts, size_t n, double& low,
                                                   double& high) {
    // min(v, low) is v < low ? v : low and max(v, high) is v > high ? v :
    // high, as std::min and std::max; a NaN mean is passed over by both.
    __m256d lows = _mm256_set1_pd(low), highs = _mm256_set1_pd(high);
    size_t v = 0;
    for (; v + 4 <= n; v += 4) {
        const __m256d s = _mm256_loadu_pd(sums + v);
        const __m256d c = _mm256_cvtepi32_pd(_mm_loadu_si128(reinterpret_cast<const __m128i*>(counts + v)));
        // A sum without a count stays as it is. (A blend here is turned into
        // branches by some compilers.)
        const __m256d counted = _mm256_cmp_pd(c, _mm256_setzero_pd(), _CMP_GT_OQ);
        const __m256d mean = _mm256_or_pd(_mm256_and_pd(counted, _mm256_div_pd(s, c)), _mm256_andnot_pd(counted, s));
        _mm256_storeu_pd(sums + v, mean);
        lows = _mm256_min_pd(mean, lows);
        highs = _mm256_max_pd(mean, highs);
    }
    alignas(32) double l[4], h[4];
    _mm256_store_pd(l, lows);
    _mm256_store_pd(h, highs);
    for (size_t k = 0; k < 4; ++k) {
        low = std::min(low, l[k]);
        high = std::max(high, h[k]);
    }
    _mm256_zeroupper();  // before the tail built without AVX (see alpha_avx)
    take_means_tail(sums, counts, v, n, low, high);
}

// Four colour components as bytes: clamped to 0..255 after scaling (NaN
// to 0) and truncated, as unit_byte does.
__attribute__((target("avx"))) inline __m128i unit_bytes_avx(__m256d c) {
    const __m256d scaled = _mm256_mul_pd(c, _mm256_set1_pd(255.0));
    // max(v, 0) is v > 0 ? v : 0 and min(v, 255) is v < 255 ? v : 255,
    // NaN included.
    const __m256d clamped = _mm256_min_pd(_mm256_max_pd(scaled, _mm256_setzero_pd()), _mm256_set1_pd(255.0));
    return _mm256_cvttpd_epi32(clamped);
}

__attribute__((target("avx"))) inline __m256d fabs4(__m256d v) { return _mm256_andnot_pd(_mm256_set1_pd(-0.0), v); }

// Each lane as hue_rgb and unit: v > 0 ? v : 0, then v < 1 ? v : 1.
__attribute__((target("avx"))) inline __m256d unit_avx(__m256d v) {
    return _mm256_min_pd(_mm256_max_pd(v, _mm256_setzero_pd()), _mm256_set1_pd(1.0));
}

__attribute__((target("avx"))) void ramp_avx(InteropMesh& mesh, int32_t variant, const double* values, double low,
                                             double range, bool invert, size_t from, size_t n) {
    const __m256d lo = _mm256_set1_pd(low), span = _mm256_set1_pd(range), one = _mm256_set1_pd(1.0);
    uint8_t* out = mesh.display_colours.data();
    size_t i = from;
    for (; i + 4 <= n; i += 4) {
        __m256d t = _mm256_div_pd(_mm256_sub_pd(_mm256_loadu_pd(values + i), lo), span);
        if (invert) t = _mm256_sub_pd(one, t);
        // Four colours at once, their alpha bytes kept.
        uint8_t* c = out + 4 * i;
        const __m128i alpha =
            _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(c)), _mm_set1_epi32(0xff000000));
        if (variant == COLOUR_GREY) {
            const __m128i v = unit_bytes_avx(t);
            const __m128i rgb = _mm_or_si128(_mm_or_si128(v, _mm_slli_epi32(v, 8)), _mm_slli_epi32(v, 16));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(c), _mm_or_si128(rgb, alpha));
            continue;
        }
        const __m256d d = _mm256_mul_pd(_mm256_mul_pd(t, _mm256_set1_pd(0.75)), _mm256_set1_pd(360.0));
        const __m256d x = _mm256_div_pd(d, _mm256_set1_pd(60.0));
        const __m256d visible = _mm256_andnot_pd(_mm256_cmp_pd(d, _mm256_set1_pd(360.0), _CMP_GT_OQ), one);
        const __m256d red = _mm256_mul_pd(unit_avx(_mm256_sub_pd(fabs4(_mm256_sub_pd(x, _mm256_set1_pd(3.0))), one)),
                                          visible);
        const __m256d two = _mm256_set1_pd(2.0);
        const __m256d green = _mm256_mul_pd(unit_avx(_mm256_sub_pd(two, fabs4(_mm256_sub_pd(x, two)))), visible);
        const __m256d blue =
            _mm256_mul_pd(unit_avx(_mm256_sub_pd(two, fabs4(_mm256_sub_pd(x, _mm256_set1_pd(4.0))))), visible);
        const __m128i rgb = _mm_or_si128(_mm_or_si128(unit_bytes_avx(red), _mm_slli_epi32(unit_bytes_avx(green), 8)),
                                         _mm_slli_epi32(unit_bytes_avx(blue), 16));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(c), _mm_or_si128(rgb, alpha));
    }
    _mm256_zeroupper();  // before the tail built without AVX (see alpha_avx)
    ramp_tail(mesh, variant, values, low, range, invert, i, n);
}

__attribute__((target("avx"))) void alpha_avx(uint8_t* colours, const double* source, bool transparent, size_t from,
                                              size_t n) {
    size_t i = from;
    for (; i + 4 <= n; i += 4) {
        const double* s = source + 4 * i;
        __m128i bytes = unit_bytes_avx(_mm256_set_pd(s[15], s[11], s[7], s[3]));
        if (transparent) {
            // A byte is exact as a double, and alpha * 0.5 + 64 stays in 64 .. 191.5.
            const __m256d alpha = _mm256_cvtepi32_pd(bytes);
            bytes = _mm256_cvttpd_epi32(_mm256_add_pd(_mm256_mul_pd(alpha, _mm256_set1_pd(0.5)), _mm256_set1_pd(64.0)));
        }
        // Four alpha bytes at once, the colour bytes kept.
        uint8_t* c = colours + 4 * i;
        const __m128i rgb =
            _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(c)), _mm_set1_epi32(0x00ffffff));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(c), _mm_or_si128(rgb, _mm_slli_epi32(bytes, 24)));
    }
    // The upper halves of the vector registers are cleared before any code
    // built without AVX runs: the compiler jumps to the tail without doing
    // so, and every legacy SSE instruction after that (all of the scalar
    // colouring) would pay for the dirty state.
    _mm256_zeroupper();
    alpha_tail(colours, source, transparent, i, n);
}

bool avx_available() {
    static const bool available = __builtin_cpu_supports("avx");
    return available;
}
#else
bool avx_available() { return false; }
template <bool Complete>
void add_deviations_avx(const DeviationArrays&, const uint32_t*, size_t, size_t, VertexRange) {}
void take_means_avx(double*, const uint32_t*, size_t, double&, double&) {}
void ramp_avx(InteropMesh&, int32_t, const double*, double, double, bool, size_t, size_t) {}
void alpha_avx(uint8_t*, const double*, bool, size_t, size_t) {}
#endif

// colour_by_scalar over values whose lowest and highest are known.
void colour_by_range(InteropMesh& mesh, int32_t variant, const double* values, double low, double high,
                     bool invert) {
    if (low == high || !(high - low > 0.0)) {
        fill_monotone_colour(mesh, 0.25);
        return;
    }
    const double range = high - low;
    const bool avx = avx_available();
    in_vertex_ranges(colourable(mesh), streaming_parts(colourable(mesh)), [&](size_t, size_t from, size_t to) {
        if (avx)
            ramp_avx(mesh, variant, values, low, range, invert, from, to);
        else
            ramp_tail(mesh, variant, values, low, range, invert, from, to);
    });
}

}  // namespace

namespace {

// The sums of the range's vertices, then their means, and the lowest and
// highest mean of the range.
void deviation_means(const DeviationArrays& w, const std::vector<uint32_t>& triangles, size_t n, VertexRange range,
                     double& lowest, double& highest) {
    double low = lowest, high = highest;  // kept apart from the other threads' until the end
    std::memset(w.sums + range.lo, 0, (range.hi - range.lo) * sizeof(double));
    std::memset(w.counts + range.lo, 0, (range.hi - range.lo) * sizeof(uint32_t));
    const size_t count = triangles.size() / 3;
    // Without vertices or stored normals nothing is added (the packed pass
    // reads vertex 0 and normal 0 in place of what it does not add).
    const bool avx = avx_available();
    if (n > 0 && w.normal_count > 0) {
        if (avx && w.normal_count >= n)
            add_deviations_avx<true>(w, triangles.data(), count, n, range);
        else if (avx)
            add_deviations_avx<false>(w, triangles.data(), count, n, range);
        else
            add_deviations(w, triangles.data(), count, n, range);
    }
    // The packed pass reads the counts as signed, which holds below 2^31
    // corners.
    if (avx && triangles.size() < (size_t{1} << 31))
        take_means_avx(w.sums + range.lo, w.counts + range.lo, range.hi - range.lo, low, high);
    else
        take_means_tail(w.sums, w.counts, range.lo, range.hi, low, high);
    lowest = low, highest = high;
}

// Threads for the deviations of a mesh: one below 64 Ki triangles, where
// starting a thread costs more than it saves, else up to four.
size_t deviation_threads(size_t triangles, size_t n) {
    if (triangles < (size_t{1} << 16) || n < 4) return 1;
    return static_cast<size_t>(std::clamp(usable_cores(), 1, 4));
}

}  // namespace

// Per vertex, the mean distance between the unit normals of its triangles
// and its own normal. The sums are added in triangle and corner order
// whichever path runs and however the vertices are shared out among
// threads, so every value is the same to the bit as one triangle at a time.
// A corner without a stored normal adds nothing.
void colour_by_planarity_curvature(InteropMesh& mesh, int32_t variant, int32_t function) {
    if (mesh.positions.empty() || mesh.dimension != 3) return;
    const size_t n = vertex_count(mesh);
    work().vertex_values.resize(n);
    work().vertex_counts.resize(n);
    double* sums = work().vertex_values.data();
    uint32_t* counts = work().vertex_counts.data();
    // The packed passes want the normals as one array; made here for the
    // pass only, when the mesh keeps just the flips.
    std::vector<double> scratch;
    size_t normal_count = 0;
    const double* normals = triangle_normal_values(mesh, scratch, normal_count);
    const DeviationArrays w{mesh.positions.data(), normals, normal_count / 3, sums, counts};
    const size_t threads = deviation_threads(mesh.triangles.size() / 3, n);
    // Range k's lowest and highest mean; min and max are exact, so the
    // order they are combined in changes nothing.
    std::vector<double> lows(threads, std::numeric_limits<double>::infinity());
    std::vector<double> highs(threads, negative_infinity);
    in_vertex_ranges(n, threads, [&](size_t k, size_t from, size_t to) {
        deviation_means(w, mesh.triangles, n, VertexRange{from, to}, lows[k], highs[k]);
    });
    double low = std::numeric_limits<double>::infinity();
    double high = negative_infinity;
    for (size_t k = 0; k < threads; ++k) {
        low = std::min(low, lows[k]);
        high = std::max(high, highs[k]);
    }
    colour_by_range(mesh, variant, sums, low, high, function == COLOUR_BY_PLANARITY);
}

void colour_by_quality(InteropMesh& mesh, int32_t variant) {
    if (mesh.positions.empty() || mesh.dimension != 3) return;
    const size_t n = vertex_count(mesh);
    reset(work().vertex_values, n);
    reset(work().vertex_counts, n);
    double* sums = work().vertex_values.data();
    uint32_t* counts = work().vertex_counts.data();
    for_each_triangle(mesh, n, [&](uint32_t a, uint32_t b, uint32_t c) {
        const Vec3 pa = position(mesh, a);
        const Vec3 pb = position(mesh, b);
        const Vec3 pc = position(mesh, c);
        // Shortest over longest edge, from the squared lengths with one root.
        const double l1 = squared_length(sub(pb, pa));
        const double l2 = squared_length(sub(pc, pb));
        const double l3 = squared_length(sub(pa, pc));
        const double longest = std::max({l1, l2, l3});
        const double q = longest > 0.0 ? std::sqrt(std::min({l1, l2, l3}) / longest) : 0.0;
        for (uint32_t v : {a, b, c}) {
            sums[v] += q;
            ++counts[v];
        }
    });
    for (size_t v = 0; v < n; ++v) {
        if (counts[v] > 0) sums[v] /= counts[v];
    }
    colour_by_scalar(mesh, variant, work().vertex_values, false);
}

void colour_by_valence(InteropMesh& mesh, int32_t variant, int32_t function) {
    if (mesh.positions.empty() || mesh.polygons.empty() || mesh.polygon_size == 1 || mesh.polygon_size < 0) return;
    const size_t n = vertex_count(mesh);
    std::vector<uint32_t>& counts = work().vertex_counts;
    reset(counts, n);
    if (function == COLOUR_BY_VALENCE_NGON) {
        for_each_polygon_corner(mesh, n, [&](size_t, uint32_t v) { ++counts[v]; });
    } else {
        for (uint32_t v : mesh.triangles) {
            if (v < n) ++counts[v];
        }
    }
    if (n == 0) return;
    const auto [low_it, high_it] = std::minmax_element(counts.begin(), counts.end());
    const uint32_t low = *low_it;
    const uint32_t high = *high_it;
    if (low == high) {
        fill_monotone_colour(mesh, 0.25);
        return;
    }
    const double range = high - low;
    const size_t m = colourable(mesh);
    for (size_t i = 0; i < m; ++i) {
        const double k = (counts[i] - low) / range;
        if (variant == COLOUR_GREY) {
            const uint8_t b = unit_to_byte(k * 0.75 + 0.25);
            set_rgb(mesh, i, b, b, b);
        } else {
            set_unit_rgb(mesh, i, hue_to_rgb(k * 0.75));
        }
    }
}

void colour_by_declaration_order(InteropMesh& mesh, int32_t variant) {
    if (!has_positions(mesh, 1)) return;
    const size_t n = vertex_count(mesh);
    const size_t m = colourable(mesh);
    for (size_t i = 0; i < m; ++i) set_ramp(mesh, i, variant, static_cast<double>(i) / static_cast<double>(n));
}

void colour_by_mesh_identifier(InteropMesh& mesh, int32_t variant, int32_t function) {
    if (!has_positions(mesh, 1)) return;
    const std::vector<uint32_t>& ids = function == COLOUR_BY_OPERAND ? mesh.operand_ids
                                       : function == COLOUR_BY_FACEID ? mesh.face_ids
                                                                      : mesh.group_ids;
    if (ids.empty() || std::all_of(ids.begin(), ids.end(), [&](uint32_t id) { return id == ids[0]; })) {
        fill_monotone_colour(mesh, 0.25);
        return;
    }
    std::vector<uint32_t>& ranks = work().id_ranks;
    const size_t distinct = rank_ids(ids, ranks);
    std::vector<double>& colours = work().rank_colours;
    colours.resize(4 * distinct);
    for (size_t r = 0; r < distinct; ++r) {
        const Rgb c = element_colour(variant, function, r, distinct);
        colours[4 * r] = c.r;
        colours[4 * r + 1] = c.g;
        colours[4 * r + 2] = c.b;
    }

    const size_t n = vertex_count(mesh);
    if (element_colour_scratch.size() < 4 * n) element_colour_scratch.resize(4 * n);
    double* sums = element_colour_scratch.data();
    std::fill(sums, sums + 4 * n, 0.0);
    const uint32_t* rank = ranks.data();
    const size_t ranked = ranks.size();
    const double* colour = colours.data();
    for_each_polygon_corner(mesh, n, [&](size_t polygon, uint32_t v) {
        if (polygon >= ranked) return;
        const double* c = colour + 4 * static_cast<size_t>(rank[polygon]);
        double* s = sums + 4 * static_cast<size_t>(v);
        s[0] += c[0];
        s[1] += c[1];
        s[2] += c[2];
        s[3] += 1.0;
    });
    const size_t m = colourable(mesh);
    for (size_t i = 0; i < m; ++i) {
        const double* s = sums + 4 * i;
        if (s[3] > 0.0) {
            const double inv = 1.0 / s[3];
            set_unit_rgb(mesh, i, {s[0] * inv, s[1] * inv, s[2] * inv});
        } else {
            set_rgb(mesh, i, 0, 0, 0);
        }
    }
}

void colour_by_element_identifiers(InteropMesh& mesh, int32_t variant, int32_t function) {
    if (!has_positions(mesh, 1)) return;
    const int32_t index = function == COLOUR_BY_ELEMENTID ? mesh.element_index : mesh.batch_index;
    const int32_t count = function == COLOUR_BY_ELEMENTID ? mesh.element_count : mesh.batch_count;
    if (index < 0 || count <= 0) {
        // 63 is the character code of '?'.
        const size_t n = mesh.display_colours.size() / 4;
        for (size_t i = 0; i < n; ++i) set_rgb(mesh, i, 63, 63, 63);
        return;
    }
    Rgb c;
    if (variant == COLOUR_GREY) {
        const double t = static_cast<double>(index) / static_cast<double>(count);
        c = {t, t, t};
    } else {
        const double* p = colour_palette[index & 15];
        c = {p[0], p[1], p[2]};
    }
    const size_t n = mesh.display_colours.size() / 4;
    for (size_t i = 0; i < n; ++i) set_unit_rgb(mesh, i, c);
}

namespace {

void apply_function(InteropMesh& mesh, int32_t function, int32_t variant) {
    switch (function) {
        case COLOUR_BY_ELEVATION: colour_by_elevation(mesh, variant); break;
        case COLOUR_BY_DEPTH: colour_by_depth(mesh, variant); break;
        case COLOUR_BY_NORMAL:
        case COLOUR_BY_VERTICALITY: colour_by_normal(mesh, variant, function); break;
        case COLOUR_BY_PLANARITY:
        case COLOUR_BY_CURVATURE: colour_by_planarity_curvature(mesh, variant, function); break;
        case COLOUR_BY_QUALITY: colour_by_quality(mesh, variant); break;
        case COLOUR_BY_VALENCE_NGON:
        case COLOUR_BY_VALENCE_TESS: colour_by_valence(mesh, variant, function); break;
        case COLOUR_BY_DECLARATION_ORDER: colour_by_declaration_order(mesh, variant); break;
        case COLOUR_BY_OPERAND:
        case COLOUR_BY_FACEID:
        case COLOUR_BY_GROUPID: colour_by_mesh_identifier(mesh, variant, function); break;
        case COLOUR_BY_ELEMENTID:
        case COLOUR_BY_BATCHID: colour_by_element_identifiers(mesh, variant, function); break;
        default: break;
    }
}

void copy_smoothing_colours(InteropMesh& mesh) {
    const std::vector<uint32_t>& map = mesh.tessellation_map;
    if (!mesh.smoothing_groups_defined || mesh.smoothing_count <= 0 || mesh.tessellation_colours.empty() ||
        map.empty()) {
        return;
    }
    const size_t count = static_cast<size_t>(mesh.smoothing_count);
    if (map[0] != count || map.size() <= count + 1) return;
    const size_t colours = mesh.display_colours.size() / 4;
    const size_t slots = mesh.tessellation_colours.size() / 4;
    for (size_t i = 0; count + 1 + i < map.size() && i < slots; ++i) {
        const uint32_t from = map[count + 1 + i];
        if (from >= colours) continue;
        std::copy_n(mesh.display_colours.data() + 4 * static_cast<size_t>(from), 4,
                    mesh.tessellation_colours.data() + 4 * i);
    }
}

}  // namespace

void apply_colour_settings(const ColourSettings& settings, InteropMesh& mesh) {
    // A mesh without colours of its own still gets one display colour per
    // vertex, opaque grey like an upload without colours.
    const size_t n = vertex_count(mesh);
    if (mesh.display_colours.size() < 4 * n) {
        const size_t old = mesh.display_colours.size() / 4;
        mesh.display_colours.resize(4 * n);
        for (size_t i = old; i < n; ++i) {
            uint8_t* c = mesh.display_colours.data() + 4 * i;
            c[0] = c[1] = c[2] = 191;
            c[3] = 255;
        }
    }

    switch (settings.colour_mode) {
        case COLOUR_RGBA: {
            const ColourList source = colours_of(mesh);
            const size_t m = std::min(mesh.display_colours.size(), source.size()) / 4;
            for (size_t i = 0; i < m; ++i) {
                set_rgb(mesh, i, unit_to_byte(source[4 * i]), unit_to_byte(source[4 * i + 1]),
                        unit_to_byte(source[4 * i + 2]));
            }
            break;
        }
        case COLOUR_DARK: fill_monotone_colour(mesh, 0.25); break;
        case COLOUR_LIGHT: fill_monotone_colour(mesh, 1.0); break;
        case COLOUR_FUNCTION:
            apply_function(mesh, settings.colour_function, settings.multichannel_colour ? COLOUR_HUE : COLOUR_GREY);
            break;
        default: break;
    }

    // The transparent alpha derives from the source alpha, not from the
    // alpha the display colour holds, so the same settings always give the
    // same look whatever was applied before.
    const size_t m = mesh.display_colours.size() / 4;
    uint8_t* colours = mesh.display_colours.data();
    if (settings.negate_colours) {
        for (size_t i = 0; i < m; ++i) {
            uint8_t* c = colours + 4 * i;
            c[0] = static_cast<uint8_t>(255 - c[0]);
            c[1] = static_cast<uint8_t>(255 - c[1]);
            c[2] = static_cast<uint8_t>(255 - c[2]);
        }
    }
    const ColourList source = colours_of(mesh);
    const size_t sourced = std::min(m, source.size() / 4);
    const bool avx = avx_available();
    const bool transparent = settings.transparent_mode;
    auto alpha = [avx, transparent](uint8_t* out, const double* in, size_t from, size_t to) {
        if (avx)
            alpha_avx(out, in, transparent, from, to);
        else
            alpha_tail(out, in, transparent, from, to);
    };
    in_vertex_ranges(sourced, streaming_parts(sourced), [&](size_t, size_t from, size_t to) {
        if (!source.indices) return alpha(colours, source.values, from, to);
        // A palette is looked up a piece at a time, so no copy of every
        // vertex's colour is ever made.
        constexpr size_t piece = 512;
        double looked_up[4 * piece];
        for (size_t first = from; first < to; first += piece) {
            const size_t n = std::min(piece, to - first);
            for (size_t v = 0; v < n; ++v) {
                std::memcpy(looked_up + 4 * v, source.values + 4 * size_t{source.indices[first + v]},
                            4 * sizeof(double));
            }
            alpha(colours + 4 * first, looked_up, 0, n);
        }
    });
    const uint8_t opaque = settings.transparent_mode ? static_cast<uint8_t>(255 * 0.5 + 64.0) : 255;
    for (size_t i = sourced; i < m; ++i) colours[4 * i + 3] = opaque;

    copy_smoothing_colours(mesh);
    mesh.colours_dirty = 1;
}

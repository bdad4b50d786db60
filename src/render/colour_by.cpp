#include "render/colour_by.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "app/tables.h"

const double colour_palette[16][4] = {
    {0.25, 0.5, 1.0, 1.0},   {1.0, 0.75, 0.0, 1.0},   {0.5, 0.75, 0.25, 1.0}, {0.75, 0.25, 0.5, 1.0},
    {0.75, 0.25, 0.0, 1.0},  {0.25, 0.0, 0.75, 1.0},  {0.25, 0.75, 0.5, 1.0}, {0.5, 0.75, 1.0, 1.0},
    {0.25, 0.25, 0.25, 1.0}, {0.5, 0.5, 0.5, 1.0},    {0.75, 0.75, 0.75, 1.0}, {1.0, 1.0, 1.0, 1.0},
    {0.5, 0.0, 0.5, 1.0},    {0.5, 0.5, 0.0, 1.0},    {0.0, 0.0, 0.5, 1.0},   {0.5, 0.0, 0.0, 1.0},
};

// element_colour_scratch is built with the other global tables
// (app/static_tables.cpp).

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

template <typename T>
void reset(std::vector<T>& v, size_t n) {
    v.assign(n, T{});
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

void set_unit_rgb(InteropMesh& mesh, size_t i, const Rgb& rgb) {
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
    if (function == COLOUR_BY_FACEID) return hue_to_rgb(t * 0.75);
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
    const size_t n = std::min(colourable(mesh), mesh.triangle_normals.size() / d);
    for (size_t i = 0; i < n; ++i) {
        const double* v = mesh.triangle_normals.data() + d * i;
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

// Unit face normals in place: (x, y, z) / sqrt(squared) where squared is
// above 1e-15, unchanged elsewhere (multiplying by 1 leaves a component as
// it was). Faces from `from` on.
void normalise_faces_tail(double* x, double* y, double* z, const double* squared, size_t from, size_t n) {
    for (size_t i = from; i < n; ++i) {
        if (squared[i] > 1e-15) {
            const double inv = 1.0 / std::sqrt(squared[i]);
            x[i] *= inv;
            y[i] *= inv;
            z[i] *= inv;
        }
    }
}

// One corner slot of a block of faces: the face normals and the stored
// normal of each face's corner, as separate coordinate runs.
struct CornerRun {
    const double* fx;
    const double* fy;
    const double* fz;
    const double* qx;
    const double* qy;
    const double* qz;
};

// out[f] = |face normal - corner normal| for faces `from` .. n - 1.
void corner_distances_tail(const CornerRun& r, double* out, size_t from, size_t n) {
    for (size_t f = from; f < n; ++f) {
        const double dx = r.fx[f] - r.qx[f], dy = r.fy[f] - r.qy[f], dz = r.fz[f] - r.qz[f];
        out[f] = std::sqrt(dx * dx + dy * dy + dz * dz);
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

#if defined(__x86_64__)
__attribute__((target("avx"))) void normalise_faces_avx(double* x, double* y, double* z, const double* squared,
                                                        size_t n) {
    const __m256d one = _mm256_set1_pd(1.0);
    const __m256d floor = _mm256_set1_pd(1e-15);
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m256d s = _mm256_loadu_pd(squared + i);
        const __m256d inv = _mm256_div_pd(one, _mm256_sqrt_pd(s));
        const __m256d k = _mm256_blendv_pd(one, inv, _mm256_cmp_pd(s, floor, _CMP_GT_OQ));
        _mm256_storeu_pd(x + i, _mm256_mul_pd(_mm256_loadu_pd(x + i), k));
        _mm256_storeu_pd(y + i, _mm256_mul_pd(_mm256_loadu_pd(y + i), k));
        _mm256_storeu_pd(z + i, _mm256_mul_pd(_mm256_loadu_pd(z + i), k));
    }
    normalise_faces_tail(x, y, z, squared, i, n);
}

__attribute__((target("avx"))) void corner_distances_avx(const CornerRun& r, double* out, size_t n) {
    size_t f = 0;
    for (; f + 4 <= n; f += 4) {
        const __m256d dx = _mm256_sub_pd(_mm256_loadu_pd(r.fx + f), _mm256_loadu_pd(r.qx + f));
        const __m256d dy = _mm256_sub_pd(_mm256_loadu_pd(r.fy + f), _mm256_loadu_pd(r.qy + f));
        const __m256d dz = _mm256_sub_pd(_mm256_loadu_pd(r.fz + f), _mm256_loadu_pd(r.qz + f));
        const __m256d d2 =
            _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(dx, dx), _mm256_mul_pd(dy, dy)), _mm256_mul_pd(dz, dz));
        _mm256_storeu_pd(out + f, _mm256_sqrt_pd(d2));
    }
    corner_distances_tail(r, out, f, n);
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
                                             double range, bool invert, size_t n) {
    const __m256d lo = _mm256_set1_pd(low), span = _mm256_set1_pd(range), one = _mm256_set1_pd(1.0);
    uint8_t* out = mesh.display_colours.data();
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        __m256d t = _mm256_div_pd(_mm256_sub_pd(_mm256_loadu_pd(values + i), lo), span);
        if (invert) t = _mm256_sub_pd(one, t);
        alignas(16) int32_t r[4], g[4], b[4];
        if (variant == COLOUR_GREY) {
            _mm_store_si128(reinterpret_cast<__m128i*>(r), unit_bytes_avx(t));
            for (int k = 0; k < 4; ++k) {
                uint8_t* c = out + 4 * (i + k);
                c[0] = c[1] = c[2] = static_cast<uint8_t>(r[k]);
            }
            continue;
        }
        const __m256d d = _mm256_mul_pd(_mm256_mul_pd(t, _mm256_set1_pd(0.75)), _mm256_set1_pd(360.0));
        const __m256d x = _mm256_div_pd(d, _mm256_set1_pd(60.0));
        const __m256d visible = _mm256_blendv_pd(one, _mm256_setzero_pd(),
                                                 _mm256_cmp_pd(d, _mm256_set1_pd(360.0), _CMP_GT_OQ));
        const __m256d red = _mm256_mul_pd(unit_avx(_mm256_sub_pd(fabs4(_mm256_sub_pd(x, _mm256_set1_pd(3.0))), one)),
                                          visible);
        const __m256d two = _mm256_set1_pd(2.0);
        const __m256d green = _mm256_mul_pd(unit_avx(_mm256_sub_pd(two, fabs4(_mm256_sub_pd(x, two)))), visible);
        const __m256d blue =
            _mm256_mul_pd(unit_avx(_mm256_sub_pd(two, fabs4(_mm256_sub_pd(x, _mm256_set1_pd(4.0))))), visible);
        _mm_store_si128(reinterpret_cast<__m128i*>(r), unit_bytes_avx(red));
        _mm_store_si128(reinterpret_cast<__m128i*>(g), unit_bytes_avx(green));
        _mm_store_si128(reinterpret_cast<__m128i*>(b), unit_bytes_avx(blue));
        for (int k = 0; k < 4; ++k) {
            uint8_t* c = out + 4 * (i + k);
            c[0] = static_cast<uint8_t>(r[k]);
            c[1] = static_cast<uint8_t>(g[k]);
            c[2] = static_cast<uint8_t>(b[k]);
        }
    }
    ramp_tail(mesh, variant, values, low, range, invert, i, n);
}

__attribute__((target("avx"))) void alpha_avx(uint8_t* colours, const double* source, bool transparent, size_t n) {
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const double* s = source + 4 * i;
        __m128i bytes = unit_bytes_avx(_mm256_set_pd(s[15], s[11], s[7], s[3]));
        if (transparent) {
            // A byte is exact as a double, and alpha * 0.5 + 64 stays in 64 .. 191.5.
            const __m256d alpha = _mm256_cvtepi32_pd(bytes);
            bytes = _mm256_cvttpd_epi32(_mm256_add_pd(_mm256_mul_pd(alpha, _mm256_set1_pd(0.5)), _mm256_set1_pd(64.0)));
        }
        alignas(16) int32_t a[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(a), bytes);
        for (int k = 0; k < 4; ++k) colours[4 * (i + k) + 3] = static_cast<uint8_t>(a[k]);
    }
    alpha_tail(colours, source, transparent, i, n);
}

bool avx_available() {
    static const bool available = __builtin_cpu_supports("avx");
    return available;
}
#else
bool avx_available() { return false; }
void normalise_faces_avx(double*, double*, double*, const double*, size_t) {}
void corner_distances_avx(const CornerRun&, double*, size_t) {}
void ramp_avx(InteropMesh&, int32_t, const double*, double, double, bool, size_t) {}
void alpha_avx(uint8_t*, const double*, bool, size_t) {}
#endif

// colour_by_scalar over values whose lowest and highest are known.
void colour_by_range(InteropMesh& mesh, int32_t variant, const double* values, double low, double high,
                     bool invert) {
    if (low == high || !(high - low > 0.0)) {
        fill_monotone_colour(mesh, 0.25);
        return;
    }
    const double range = high - low;
    const size_t m = colourable(mesh);
    if (avx_available())
        ramp_avx(mesh, variant, values, low, range, invert, m);
    else
        ramp_tail(mesh, variant, values, low, range, invert, 0, m);
}

}  // namespace

// Per vertex, the mean distance between the unit normals of its triangles
// and its own normal. The work goes in blocks of triangles so that the
// square roots of a block are taken together instead of each waiting for
// the sum before it; the sums are added in triangle and corner order, so
// every value is the same to the bit as one triangle at a time. A corner
// without a stored normal adds nothing, so its distance is not taken.
void colour_by_planarity_curvature(InteropMesh& mesh, int32_t variant, int32_t function) {
    if (mesh.positions.empty() || mesh.dimension != 3) return;
    const size_t n = vertex_count(mesh);
    const size_t normals = mesh.triangle_normals.size() / 3;
    reset(work().vertex_values, n);
    reset(work().vertex_counts, n);
    double* sums = work().vertex_values.data();
    uint32_t* counts = work().vertex_counts.data();
    const double* nv = mesh.triangle_normals.data();
    const double* pv = mesh.positions.data();

    const bool avx = avx_available();
    constexpr size_t block = 512;
    // Runs a little longer than the block, so that the same face's slots in
    // different runs do not lie a multiple of 4 KiB apart (a store to one
    // would hold up loads from the others).
    constexpr size_t run = block + 8;
    double fx[run], fy[run], fz[run], squared[run];
    double qx[3][run], qy[3][run], qz[3][run];
    double distance[3][run];
    uint32_t corners[3 * block];
    const size_t triangles = mesh.triangles.size() / 3;
    const uint32_t* t = mesh.triangles.data();
    for (size_t first = 0; first < triangles;) {
        // Faces of the block's triangles whose corners are all vertices,
        // and the stored normals of their corners.
        size_t m = 0;
        for (; first < triangles && m < block; ++first) {
            const uint32_t a = t[3 * first], b = t[3 * first + 1], c = t[3 * first + 2];
            if (a >= n || b >= n || c >= n) continue;
            const double* pa = pv + 3 * static_cast<size_t>(a);
            const double* pb = pv + 3 * static_cast<size_t>(b);
            const double* pc = pv + 3 * static_cast<size_t>(c);
            const Vec3 e1 = {pb[0] - pa[0], pb[1] - pa[1], pb[2] - pa[2]};
            const Vec3 e2 = {pc[0] - pa[0], pc[1] - pa[1], pc[2] - pa[2]};
            fx[m] = e1.y * e2.z - e1.z * e2.y;
            fy[m] = e1.z * e2.x - e1.x * e2.z;
            fz[m] = e1.x * e2.y - e1.y * e2.x;
            squared[m] = fx[m] * fx[m] + fy[m] * fy[m] + fz[m] * fz[m];
            const uint32_t corner[3] = {a, b, c};
            for (size_t k = 0; k < 3; ++k) {
                const uint32_t v = corner[k];
                corners[3 * m + k] = v;
                const bool stored = v < normals;
                const double* q = nv + 3 * static_cast<size_t>(stored ? v : 0);
                qx[k][m] = stored ? q[0] : 0.0;
                qy[k][m] = stored ? q[1] : 0.0;
                qz[k][m] = stored ? q[2] : 0.0;
            }
            ++m;
        }
        if (avx) {
            normalise_faces_avx(fx, fy, fz, squared, m);
            for (size_t k = 0; k < 3; ++k)
                corner_distances_avx(CornerRun{fx, fy, fz, qx[k], qy[k], qz[k]}, distance[k], m);
        } else {
            normalise_faces_tail(fx, fy, fz, squared, 0, m);
            for (size_t k = 0; k < 3; ++k)
                corner_distances_tail(CornerRun{fx, fy, fz, qx[k], qy[k], qz[k]}, distance[k], 0, m);
        }
        for (size_t f = 0; f < m; ++f) {
            for (size_t k = 0; k < 3; ++k) {
                const uint32_t v = corners[3 * f + k];
                if (v >= normals) continue;
                sums[v] += distance[k][f];
                ++counts[v];
            }
        }
    }
    // The means, and their range in the same pass.
    double low = std::numeric_limits<double>::infinity();
    double high = negative_infinity;
    for (size_t v = 0; v < n; ++v) {
        if (counts[v] > 0) sums[v] /= counts[v];
        low = std::min(low, sums[v]);
        high = std::max(high, sums[v]);
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
            const size_t m = std::min(mesh.display_colours.size(), mesh.colours.size()) / 4;
            for (size_t i = 0; i < m; ++i) {
                const double* s = mesh.colours.data() + 4 * i;
                set_rgb(mesh, i, unit_to_byte(s[0]), unit_to_byte(s[1]), unit_to_byte(s[2]));
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
    if (settings.colour_negate) {
        for (size_t i = 0; i < m; ++i) {
            uint8_t* c = colours + 4 * i;
            c[0] = static_cast<uint8_t>(255 - c[0]);
            c[1] = static_cast<uint8_t>(255 - c[1]);
            c[2] = static_cast<uint8_t>(255 - c[2]);
        }
    }
    const size_t sourced = std::min(m, mesh.colours.size() / 4);
    const double* source = mesh.colours.data();
    if (avx_available())
        alpha_avx(colours, source, settings.transparent_mode, sourced);
    else
        alpha_tail(colours, source, settings.transparent_mode, 0, sourced);
    const uint8_t opaque = settings.transparent_mode ? static_cast<uint8_t>(255 * 0.5 + 64.0) : 255;
    for (size_t i = sourced; i < m; ++i) colours[4 * i + 3] = opaque;

    copy_smoothing_colours(mesh);
    mesh.gl_upload_needed = 1;
}

#include "mesh/kernel_mesh.h"

#include <algorithm>
#include <cmath>
#include <map>

static const double kPi = 3.14159265358979323846;

const std::vector<std::string>& primitive_type_names() {
    static const std::vector<std::string> names = {"none",  "box",    "cube",     "mcube", "bcube", "rcube",
                                                   "sphere", "cylinder", "cone", "torus", "grid"};
    return names;
}

static int32_t type_code(const std::string& name) {
    const auto& names = primitive_type_names();
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name) return static_cast<int32_t>(i);
    return 0;
}

// Doubles from scripts may be NaN or huge; resolutions are whole numbers
// within [lo, hi], anything else falls back to `fallback`.
static int resolution(double v, int lo, int hi, int fallback) {
    if (!std::isfinite(v)) return fallback;
    if (v < lo) return lo;
    if (v > hi) return hi;
    return static_cast<int>(v);
}

struct MeshBuilder {
    KernelMesh& m;
    int32_t user_type;
    uint32_t add_vertex(double x, double y, double z, double nx, double ny, double nz) {
        m.positions.insert(m.positions.end(), {x, y, z});
        const double len = std::sqrt(nx * nx + ny * ny + nz * nz);
        if (len > 0) {
            nx /= len;
            ny /= len;
            nz /= len;
        }
        m.normals.insert(m.normals.end(), {nx, ny, nz});
        return static_cast<uint32_t>(m.positions.size() / 3 - 1);
    }
    void add_polygon(std::initializer_list<uint32_t> c, int32_t group) { add_polygon(std::vector<uint32_t>(c), group); }
    void add_polygon(const std::vector<uint32_t>& c, int32_t group) {
        m.face_ids.push_back(static_cast<int32_t>(m.polygon_sizes.size()));
        m.polygon_sizes.push_back(static_cast<uint32_t>(c.size()));
        m.corners.insert(m.corners.end(), c.begin(), c.end());
        m.group_ids.push_back(group);
        m.user_type_ids.push_back(user_type);
        m.operand_ids.push_back(0);
    }
    void finish() {
        const size_t v = m.vertex_count();
        m.sign_flags.assign(v, 0);
        m.vertex_colours.assign(v, 0);
        m.colours = {{0.8, 0.8, 0.8, 1.0}};
    }
};

static void make_box(MeshBuilder& b, double x0, double y0, double z0, double x1, double y1, double z1) {
    const double lo[3] = {x0, y0, z0}, hi[3] = {x1, y1, z1};
    for (int axis = 0; axis < 3; ++axis) {
        const int u = (axis + 1) % 3, v = (axis + 2) % 3;
        for (int side = 0; side < 2; ++side) {
            uint32_t ids[4];
            const double us[4] = {lo[u], hi[u], hi[u], lo[u]};
            const double vs[4] = {lo[v], lo[v], hi[v], hi[v]};
            for (int k = 0; k < 4; ++k) {
                double p[3], n[3] = {0, 0, 0};
                p[axis] = side ? hi[axis] : lo[axis];
                p[u] = us[k];
                p[v] = vs[k];
                n[axis] = side ? 1.0 : -1.0;
                ids[k] = b.add_vertex(p[0], p[1], p[2], n[0], n[1], n[2]);
            }
            const int32_t group = axis * 2 + side;
            if (side)
                b.add_polygon({ids[0], ids[1], ids[2], ids[3]}, group);
            else
                b.add_polygon({ids[0], ids[3], ids[2], ids[1]}, group);
        }
    }
}

// Rounded box: six face grids whose lines sit on the rounding boundaries;
// points in a rounding band are pushed onto the rounding radius. Vertices are
// shared along the seams (same grid indices), so the box is one smooth group.
static void make_rounded_box(MeshBuilder& b, const double half[3], double r, int segments) {
    std::vector<double> coords[3];
    for (int a = 0; a < 3; ++a) {
        const double h = half[a];
        auto& c = coords[a];
        for (int k = 0; k <= segments; ++k) c.push_back(-h + r * k / segments);
        for (int k = 0; k <= segments; ++k) c.push_back(h - r + r * k / segments);
        std::sort(c.begin(), c.end());
        c.erase(std::unique(c.begin(), c.end(), [](double p, double q) { return std::fabs(p - q) < 1e-12; }), c.end());
    }
    std::map<std::array<size_t, 3>, uint32_t> welded;
    auto vertex = [&](std::array<size_t, 3> idx) {
        auto it = welded.find(idx);
        if (it != welded.end()) return it->second;
        double q[3], c[3], d[3];
        double len = 0;
        for (int a = 0; a < 3; ++a) {
            q[a] = coords[a][idx[a]];
            const double inner = half[a] - r;
            c[a] = std::clamp(q[a], -inner, inner);
            d[a] = q[a] - c[a];
            len += d[a] * d[a];
        }
        len = std::sqrt(len);
        double p[3], n[3];
        for (int a = 0; a < 3; ++a) {
            n[a] = len > 1e-15 ? d[a] / len : 0.0;
            p[a] = len > 1e-15 ? c[a] + r * n[a] : q[a];
        }
        const uint32_t id = b.add_vertex(p[0], p[1], p[2], n[0], n[1], n[2]);
        welded.emplace(idx, id);
        return id;
    };
    for (int axis = 0; axis < 3; ++axis) {
        const int u = (axis + 1) % 3, v = (axis + 2) % 3;
        for (int side = 0; side < 2; ++side) {
            const size_t fixed = side ? coords[axis].size() - 1 : 0;
            for (size_t i = 0; i + 1 < coords[u].size(); ++i) {
                for (size_t j = 0; j + 1 < coords[v].size(); ++j) {
                    uint32_t ids[4];
                    const size_t ui[4] = {i, i + 1, i + 1, i};
                    const size_t vj[4] = {j, j, j + 1, j + 1};
                    for (int k = 0; k < 4; ++k) {
                        std::array<size_t, 3> idx{};
                        idx[axis] = fixed;
                        idx[u] = ui[k];
                        idx[v] = vj[k];
                        ids[k] = vertex(idx);
                    }
                    if (side)
                        b.add_polygon({ids[0], ids[1], ids[2], ids[3]}, 0);
                    else
                        b.add_polygon({ids[0], ids[3], ids[2], ids[1]}, 0);
                }
            }
        }
    }
}

static void make_sphere(MeshBuilder& b, double r, int n) {
    const int rings = std::max(2, n / 2);
    const uint32_t top = b.add_vertex(0, r, 0, 0, 1, 0);
    std::vector<uint32_t> first_of_ring;
    for (int k = 1; k < rings; ++k) {
        const double phi = kPi * k / rings;
        first_of_ring.push_back(static_cast<uint32_t>(b.m.vertex_count()));
        for (int j = 0; j < n; ++j) {
            const double theta = 2 * kPi * j / n;
            const double x = std::sin(phi) * std::cos(theta), y = std::cos(phi), z = -std::sin(phi) * std::sin(theta);
            b.add_vertex(r * x, r * y, r * z, x, y, z);
        }
    }
    const uint32_t bottom = b.add_vertex(0, -r, 0, 0, -1, 0);
    auto at = [&](int ring, int j) { return first_of_ring[ring] + static_cast<uint32_t>((j % n + n) % n); };
    for (int j = 0; j < n; ++j) b.add_polygon({top, at(0, j), at(0, j + 1)}, 0);
    for (int k = 0; k + 1 < rings - 1; ++k)
        for (int j = 0; j < n; ++j) b.add_polygon({at(k, j), at(k + 1, j), at(k + 1, j + 1), at(k, j + 1)}, 0);
    for (int j = 0; j < n; ++j) b.add_polygon({bottom, at(rings - 2, j + 1), at(rings - 2, j)}, 0);
}

// Side quads (group 0), top cap (1) and bottom cap (2); along +y from 0 to h.
static void make_cylinder(MeshBuilder& b, double r, double h, int n) {
    std::vector<uint32_t> lower, upper, cap_top, cap_bottom;
    for (int j = 0; j < n; ++j) {
        const double t = 2 * kPi * j / n, x = std::cos(t), z = -std::sin(t);
        lower.push_back(b.add_vertex(r * x, 0, r * z, x, 0, z));
        upper.push_back(b.add_vertex(r * x, h, r * z, x, 0, z));
        cap_top.push_back(b.add_vertex(r * x, h, r * z, 0, 1, 0));
        cap_bottom.push_back(b.add_vertex(r * x, 0, r * z, 0, -1, 0));
    }
    for (int j = 0; j < n; ++j) {
        const int k = (j + 1) % n;
        b.add_polygon({lower[j], lower[k], upper[k], upper[j]}, 0);
    }
    b.add_polygon(cap_top, 1);
    std::reverse(cap_bottom.begin(), cap_bottom.end());
    b.add_polygon(cap_bottom, 2);
}

// Side triangles (group 0) meeting at the apex (one apex vertex per side so
// each keeps its own normal) and the base (group 1).
static void make_cone(MeshBuilder& b, double r, double h, int n) {
    const double slope = h != 0.0 ? r / h : 0.0;
    std::vector<uint32_t> ring, base;
    for (int j = 0; j < n; ++j) {
        const double t = 2 * kPi * j / n, x = std::cos(t), z = -std::sin(t);
        ring.push_back(b.add_vertex(r * x, 0, r * z, x, slope, z));
        base.push_back(b.add_vertex(r * x, 0, r * z, 0, -1, 0));
    }
    for (int j = 0; j < n; ++j) {
        const double t = 2 * kPi * (j + 0.5) / n, x = std::cos(t), z = -std::sin(t);
        const uint32_t apex = b.add_vertex(0, h, 0, x, slope, z);
        b.add_polygon({ring[j], ring[(j + 1) % n], apex}, 0);
    }
    std::reverse(base.begin(), base.end());
    b.add_polygon(base, 1);
}

static void make_torus(MeshBuilder& b, double R, double r, int n, int m) {
    for (int i = 0; i < n; ++i) {
        const double t = 2 * kPi * i / n, cx = std::cos(t), cz = -std::sin(t);
        for (int j = 0; j < m; ++j) {
            const double p = 2 * kPi * j / m, nx = std::cos(p) * cx, ny = std::sin(p), nz = std::cos(p) * cz;
            b.add_vertex(R * cx + r * nx, r * ny, R * cz + r * nz, nx, ny, nz);
        }
    }
    auto at = [&](int i, int j) { return static_cast<uint32_t>((i % n) * m + (j % m)); };
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < m; ++j) b.add_polygon({at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)}, 0);
}

// n x n unit quads in the xz plane, centred, facing +y.
static void make_grid(MeshBuilder& b, int n) {
    KernelMesh& m = b.m;
    const size_t side = static_cast<size_t>(n) + 1;
    m.positions.resize(side * side * 3);
    m.normals.resize(side * side * 3);
    for (size_t i = 0; i < side; ++i) {
        for (size_t j = 0; j < side; ++j) {
            const size_t v = (i * side + j) * 3;
            m.positions[v] = static_cast<double>(i) / n - 0.5;
            m.positions[v + 1] = 0.0;
            m.positions[v + 2] = static_cast<double>(j) / n - 0.5;
            m.normals[v] = 0.0;
            m.normals[v + 1] = 1.0;
            m.normals[v + 2] = 0.0;
        }
    }
    const size_t quads = static_cast<size_t>(n) * n;
    m.polygon_sizes.assign(quads, 4);
    m.corners.resize(quads * 4);
    m.face_ids.resize(quads);
    m.group_ids.assign(quads, 0);
    m.user_type_ids.assign(quads, b.user_type);
    m.operand_ids.assign(quads, 0);
    size_t q = 0;
    for (size_t i = 0; i < static_cast<size_t>(n); ++i) {
        for (size_t j = 0; j < static_cast<size_t>(n); ++j, ++q) {
            const uint32_t a = static_cast<uint32_t>(i * side + j);
            const uint32_t c = static_cast<uint32_t>((i + 1) * side + j);
            m.corners[q * 4] = a;
            m.corners[q * 4 + 1] = a + 1;
            m.corners[q * 4 + 2] = c + 1;
            m.corners[q * 4 + 3] = c;
            m.face_ids[q] = static_cast<int32_t>(q);
        }
    }
}

static size_t estimate_vertices(const std::string& name, const std::vector<int>& r) {
    if (name == "sphere") return static_cast<size_t>(r[0]) * (r[0] / 2 + 1);
    if (name == "cylinder") return static_cast<size_t>(r[0]) * 4;
    if (name == "cone") return static_cast<size_t>(r[0]) * 3;
    if (name == "torus") return static_cast<size_t>(r[0]) * r[1];
    if (name == "grid") return (static_cast<size_t>(r[0]) + 1) * (r[0] + 1);
    if (name == "rcube" || name == "bcube") return 6 * static_cast<size_t>(2 * r[0] + 2) * (2 * r[0] + 2);
    return 24;
}

static double arg_or(const std::vector<double>& a, size_t i, double fallback) {
    return i < a.size() && std::isfinite(a[i]) ? a[i] : fallback;
}

bool make_primitive(const std::string& name, const std::vector<double>& a, size_t vertex_budget, KernelMesh& out,
                    std::string* error) {
    out = KernelMesh{};
    MeshBuilder b{out, type_code(name)};
    std::vector<int> res;
    if (name == "sphere") res = {resolution(arg_or(a, 1, 32), 3, 4096, 32)};
    if (name == "cylinder" || name == "cone") res = {resolution(arg_or(a, 2, 32), 3, 1 << 20, 32)};
    if (name == "torus") res = {resolution(arg_or(a, 2, 48), 3, 1 << 16, 48), resolution(arg_or(a, 3, 16), 3, 1 << 16, 16)};
    if (name == "grid") res = {resolution(arg_or(a, 0, 10), 1, 4096, 10)};
    if (name == "rcube") res = {resolution(arg_or(a, 4, 4), 1, 64, 4)};
    if (name == "bcube") res = {1};
    if (estimate_vertices(name, res) > vertex_budget) {
        if (error) *error = "MESH-TOO-LARGE : '" + name + "' WOULD EXCEED THE VERTEX BUDGET";
        return false;
    }
    if (name == "box") {
        const double sx = a.size() == 3 ? arg_or(a, 0, 1) : arg_or(a, 0, 1);
        const double sy = a.size() == 3 ? arg_or(a, 1, 1) : sx;
        const double sz = a.size() == 3 ? arg_or(a, 2, 1) : sx;
        make_box(b, -sx / 2, -sy / 2, -sz / 2, sx / 2, sy / 2, sz / 2);
    } else if (name == "cube") {
        const double s = arg_or(a, 0, 1);
        make_box(b, -s / 2, -s / 2, -s / 2, s / 2, s / 2, s / 2);
    } else if (name == "mcube") {
        const double s = arg_or(a, 0, 1);
        make_box(b, 0, 0, 0, s, s, s);
    } else if (name == "bcube" || name == "rcube") {
        double half[3];
        double r;
        int segments;
        if (name == "bcube") {
            const double s = std::fabs(arg_or(a, 0, 1));
            half[0] = half[1] = half[2] = s / 2;
            r = arg_or(a, 1, s / 10);
            segments = 1;
        } else {
            half[0] = std::fabs(arg_or(a, 0, 1)) / 2;
            half[1] = std::fabs(arg_or(a, 1, 1)) / 2;
            half[2] = std::fabs(arg_or(a, 2, 1)) / 2;
            r = arg_or(a, 3, 0.1);
            segments = res[0];
        }
        r = std::min({std::fabs(r), half[0], half[1], half[2]});
        if (r <= 0)
            make_box(b, -half[0], -half[1], -half[2], half[0], half[1], half[2]);
        else
            make_rounded_box(b, half, r, segments);
    } else if (name == "sphere") {
        make_sphere(b, arg_or(a, 0, 0.5), res[0]);
    } else if (name == "cylinder") {
        make_cylinder(b, arg_or(a, 0, 0.5), arg_or(a, 1, 1), res[0]);
    } else if (name == "cone") {
        make_cone(b, arg_or(a, 0, 0.5), arg_or(a, 1, 1), res[0]);
    } else if (name == "torus") {
        make_torus(b, arg_or(a, 0, 0.5), arg_or(a, 1, 0.1), res[0], res[1]);
    } else if (name == "grid") {
        make_grid(b, res[0]);
    } else {
        if (error) *error = "UNKNOWN-PRIMITIVE : '" + name + "'";
        return false;
    }
    b.finish();
    return true;
}

void transform_mesh(KernelMesh& mesh, const Affine& m) {
    const size_t n = mesh.vertex_count();
    for (size_t v = 0; v < n; ++v) {
        double* p = &mesh.positions[v * 3];
        const double x = p[0], y = p[1], z = p[2];
        p[0] = m[0] * x + m[1] * y + m[2] * z + m[3];
        p[1] = m[4] * x + m[5] * y + m[6] * z + m[7];
        p[2] = m[8] * x + m[9] * y + m[10] * z + m[11];
    }
    // Normals go through the cofactor matrix (inverse transpose times the
    // determinant), which stays defined for flattening scales.
    const double a = m[0], b = m[1], c = m[2], d = m[4], e = m[5], f = m[6], g = m[8], h = m[9], i = m[10];
    const double cof[9] = {e * i - f * h, -(d * i - f * g), d * h - e * g,  -(b * i - c * h), a * i - c * g,
                           -(a * h - b * g), b * f - c * e,  -(a * f - c * d), a * e - b * d};
    const double det = a * cof[0] + b * cof[1] + c * cof[2];
    const double sign = det < 0 ? -1.0 : 1.0;
    for (size_t v = 0; v < n; ++v) {
        double* q = &mesh.normals[v * 3];
        const double x = q[0], y = q[1], z = q[2];
        double nx = sign * (cof[0] * x + cof[1] * y + cof[2] * z);
        double ny = sign * (cof[3] * x + cof[4] * y + cof[5] * z);
        double nz = sign * (cof[6] * x + cof[7] * y + cof[8] * z);
        const double len = std::sqrt(nx * nx + ny * ny + nz * nz);
        if (len > 0 && std::isfinite(len)) {
            q[0] = nx / len;
            q[1] = ny / len;
            q[2] = nz / len;
        }
    }
    // A mirror turns the winding inward: reverse each polygon's corners so
    // the solid stays right side out. The first corner stays first, so the
    // fan triangles are the same ones and two mirrors restore the polygons.
    if (det < 0) {
        uint32_t* c = mesh.corners.data();
        for (uint32_t size : mesh.polygon_sizes) {
            if (size > 2) std::reverse(c + 1, c + size);
            c += size;
        }
    }
}

static Affine translation(double x, double y, double z) { return {1, 0, 0, x, 0, 1, 0, y, 0, 0, 1, z}; }
static Affine scaling(double x, double y, double z) { return {x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0}; }
static Affine rotation(int axis, double degrees) {
    // Exact quarter turns keep grid-aligned coordinates exact.
    double c, s;
    const double q = std::fmod(degrees, 360.0);
    if (q == 0) c = 1, s = 0;
    else if (q == 90 || q == -270) c = 0, s = 1;
    else if (q == 180 || q == -180) c = -1, s = 0;
    else if (q == 270 || q == -90) c = 0, s = -1;
    else c = std::cos(degrees * kPi / 180), s = std::sin(degrees * kPi / 180);
    if (axis == 0) return {1, 0, 0, 0, 0, c, -s, 0, 0, s, c, 0};
    if (axis == 1) return {c, 0, s, 0, 0, 1, 0, 0, -s, 0, c, 0};
    return {c, -s, 0, 0, s, c, 0, 0, 0, 0, 1, 0};
}

bool apply_mesh_method(KernelMesh& mesh, const std::string& name, const std::vector<double>& a) {
    auto arg = [&](size_t i) { return i < a.size() ? a[i] : 0.0; };
    if (name == "tx") transform_mesh(mesh, translation(arg(0), 0, 0));
    else if (name == "ty") transform_mesh(mesh, translation(0, arg(0), 0));
    else if (name == "tz") transform_mesh(mesh, translation(0, 0, arg(0)));
    else if (name == "txy") transform_mesh(mesh, translation(arg(0), arg(1), 0));
    else if (name == "txz") transform_mesh(mesh, translation(arg(0), 0, arg(1)));
    else if (name == "tyz") transform_mesh(mesh, translation(0, arg(0), arg(1)));
    else if (name == "txyz" || name == "t") transform_mesh(mesh, translation(arg(0), arg(1), arg(2)));
    else if (name == "s" && a.size() == 3) transform_mesh(mesh, scaling(arg(0), arg(1), arg(2)));
    else if (name == "s") transform_mesh(mesh, scaling(arg(0), arg(0), arg(0)));
    else if (name == "sx") transform_mesh(mesh, scaling(arg(0), 1, 1));
    else if (name == "sy") transform_mesh(mesh, scaling(1, arg(0), 1));
    else if (name == "sz") transform_mesh(mesh, scaling(1, 1, arg(0)));
    else if (name == "sxyz") transform_mesh(mesh, scaling(arg(0), arg(1), arg(2)));
    else if (name.size() >= 2 && name[0] == 'r' && name[1] >= 'x' && name[1] <= 'z' && name != "rgb") {
        const int axis = name[1] - 'x';
        const std::string rest = name.substr(2);
        double degrees;
        if (rest.empty()) degrees = arg(0);
        else if (rest == "90") degrees = 90;
        else if (rest == "N90") degrees = -90;
        else if (rest == "180") degrees = 180;
        else return false;
        transform_mesh(mesh, rotation(axis, degrees));
    } else if (name == "rgb") {
        const double r = arg(0), g = a.size() == 3 ? arg(1) : r, b = a.size() == 3 ? arg(2) : r;
        auto unit = [](double v) { return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 0.0; };
        mesh.colours = {{unit(r), unit(g), unit(b), 1.0}};
        mesh.vertex_colours.assign(mesh.vertex_count(), 0);
    } else {
        return false;
    }
    return true;
}

void mesh_union(KernelMesh& a, const KernelMesh& b) {
    const uint32_t offset = static_cast<uint32_t>(a.vertex_count());
    int32_t next_group = 0, next_operand = 0;
    for (int32_t g : a.group_ids) next_group = std::max(next_group, g + 1);
    for (int32_t o : a.operand_ids) next_operand = std::max(next_operand, o + 1);
    a.positions.insert(a.positions.end(), b.positions.begin(), b.positions.end());
    a.normals.insert(a.normals.end(), b.normals.begin(), b.normals.end());
    a.sign_flags.insert(a.sign_flags.end(), b.sign_flags.begin(), b.sign_flags.end());
    std::vector<uint32_t> colour_map;
    for (const auto& c : b.colours) {
        auto it = std::find(a.colours.begin(), a.colours.end(), c);
        colour_map.push_back(static_cast<uint32_t>(it - a.colours.begin()));
        if (it == a.colours.end()) a.colours.push_back(c);
    }
    for (uint32_t c : b.vertex_colours) a.vertex_colours.push_back(c < colour_map.size() ? colour_map[c] : 0);
    a.polygon_sizes.insert(a.polygon_sizes.end(), b.polygon_sizes.begin(), b.polygon_sizes.end());
    for (uint32_t c : b.corners) a.corners.push_back(c + offset);
    a.face_ids.insert(a.face_ids.end(), b.face_ids.begin(), b.face_ids.end());
    for (int32_t g : b.group_ids) a.group_ids.push_back(g + next_group);
    a.user_type_ids.insert(a.user_type_ids.end(), b.user_type_ids.begin(), b.user_type_ids.end());
    for (int32_t o : b.operand_ids) a.operand_ids.push_back(o + next_operand);
}

void classify_edges(const KernelMesh& mesh, std::vector<uint32_t>& polygon_edges, std::vector<uint32_t>& group_edges) {
    polygon_edges.clear();
    group_edges.clear();
    const size_t vertices = mesh.vertex_count();
    // Bucket every polygon side by its smaller vertex (counting sort).
    std::vector<uint32_t> start(vertices + 1, 0);
    size_t sides = 0;
    {
        size_t pos = 0;
        for (uint32_t size : mesh.polygon_sizes) {
            for (uint32_t k = 0; k < size; ++k) {
                const uint32_t a = mesh.corners[pos + k], b = mesh.corners[pos + (k + 1) % size];
                if (a != b) {
                    ++start[std::min(a, b) + 1];
                    ++sides;
                }
            }
            pos += size;
        }
    }
    for (size_t v = 0; v < vertices; ++v) start[v + 1] += start[v];
    std::vector<uint32_t> other(sides), group(sides), fill(start.begin(), start.end() - 1);
    {
        size_t pos = 0;
        for (size_t p = 0; p < mesh.polygon_sizes.size(); ++p) {
            const uint32_t size = mesh.polygon_sizes[p];
            for (uint32_t k = 0; k < size; ++k) {
                const uint32_t a = mesh.corners[pos + k], b = mesh.corners[pos + (k + 1) % size];
                if (a == b) continue;
                const uint32_t slot = fill[std::min(a, b)]++;
                other[slot] = std::max(a, b);
                group[slot] = static_cast<uint32_t>(mesh.group_ids[p]);
            }
            pos += size;
        }
    }
    polygon_edges.reserve(sides);
    for (size_t v = 0; v < vertices; ++v) {
        const uint32_t begin = start[v], end = start[v + 1];
        for (uint32_t i = begin; i < end; ++i) {
            bool seen = false;
            for (uint32_t j = begin; j < i && !seen; ++j) seen = other[j] == other[i];
            if (seen) continue;
            uint32_t count = 0;
            bool mixed = false;
            for (uint32_t j = i; j < end; ++j) {
                if (other[j] != other[i]) continue;
                ++count;
                mixed = mixed || group[j] != group[i];
            }
            auto& list = (count == 1 || mixed) ? group_edges : polygon_edges;
            list.push_back(static_cast<uint32_t>(v));
            list.push_back(other[i]);
        }
    }
}

void build_interop_mesh(KernelMesh&& mesh, InteropWriterMesh& out) {
    out = InteropWriterMesh{};
    out.dimension = 3;
    const size_t polygons = mesh.polygon_count();

    // Fan triangulation; diagonals are the triangle edges. Everything derived
    // from the polygons is built first, so the mesh's own arrays can then be
    // handed over instead of copied (a million-triangle mesh is tens of MB).
    size_t triangle_count = 0;
    for (uint32_t s : mesh.polygon_sizes) triangle_count += s >= 3 ? s - 2 : 0;
    out.triangles.resize(triangle_count * 3);
    out.triangle_polygons.resize(triangle_count);
    out.shading.resize(triangle_count * 3);
    out.triangle_edges.reserve(2 * (triangle_count >= polygons ? triangle_count - polygons : 0));
    size_t pos = 0, t = 0;
    const double* P = mesh.positions.data();
    for (size_t p = 0; p < polygons; ++p) {
        const uint32_t size = mesh.polygon_sizes[p];
        const uint32_t* c = &mesh.corners[pos];
        for (uint32_t k = 1; k + 1 < size; ++k, ++t) {
            const uint32_t i0 = c[0], i1 = c[k], i2 = c[k + 1];
            out.triangles[t * 3] = i0;
            out.triangles[t * 3 + 1] = i1;
            out.triangles[t * 3 + 2] = i2;
            out.triangle_polygons[t] = static_cast<int32_t>(p);
            const double ux = P[i1 * 3] - P[i0 * 3], uy = P[i1 * 3 + 1] - P[i0 * 3 + 1], uz = P[i1 * 3 + 2] - P[i0 * 3 + 2];
            const double vx = P[i2 * 3] - P[i0 * 3], vy = P[i2 * 3 + 1] - P[i0 * 3 + 1], vz = P[i2 * 3 + 2] - P[i0 * 3 + 2];
            double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
            const double len = std::sqrt(nx * nx + ny * ny + nz * nz);
            if (len > 0 && std::isfinite(len)) {
                nx /= len;
                ny /= len;
                nz /= len;
            } else {
                nx = mesh.normals[i0 * 3];
                ny = mesh.normals[i0 * 3 + 1];
                nz = mesh.normals[i0 * 3 + 2];
            }
            out.shading[t * 3] = static_cast<float>(nx);
            out.shading[t * 3 + 1] = static_cast<float>(ny);
            out.shading[t * 3 + 2] = static_cast<float>(nz);
            if (k >= 2) {
                out.triangle_edges.push_back(i0);
                out.triangle_edges.push_back(i1);
            }
        }
        pos += size;
    }
    classify_edges(mesh, out.polygon_edges, out.group_edges);
    int32_t groups = 0;
    for (int32_t g : mesh.group_ids) groups = std::max(groups, g + 1);
    out.smoothing_count = groups;
    if (polygons > 0) out.type_names = primitive_type_names();
    for (const auto& c : mesh.colours) out.palette.insert(out.palette.end(), c.begin(), c.end());

    bool uniform = polygons > 0;
    for (uint32_t s : mesh.polygon_sizes) uniform = uniform && s == mesh.polygon_sizes[0];
    if (uniform) {
        out.polygon_size = static_cast<int32_t>(mesh.polygon_sizes[0]);
        out.polygons = std::move(mesh.corners);
    } else if (polygons > 0) {
        out.polygon_size = 0;
        out.polygons.reserve(1 + polygons + mesh.corners.size());
        out.polygons.push_back(static_cast<uint32_t>(polygons));
        out.polygons.insert(out.polygons.end(), mesh.polygon_sizes.begin(), mesh.polygon_sizes.end());
        out.polygons.insert(out.polygons.end(), mesh.corners.begin(), mesh.corners.end());
    }
    out.positions = std::move(mesh.positions);
    out.normals = std::move(mesh.normals);
    out.sign_flags = std::move(mesh.sign_flags);
    out.colour_indices = std::move(mesh.vertex_colours);
    out.face_ids = std::move(mesh.face_ids);
    out.group_ids = std::move(mesh.group_ids);
    out.user_type_ids = std::move(mesh.user_type_ids);
    out.operand_ids = std::move(mesh.operand_ids);
    interop_fill_bounds(out);
    mesh = KernelMesh{};
}

void build_interop_mesh(const KernelMesh& mesh, InteropWriterMesh& out) { build_interop_mesh(KernelMesh(mesh), out); }

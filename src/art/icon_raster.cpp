#include "art/icon_raster.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "art/art_workers.h"
#include "art/icon_table.h"

// Filled by the art generators at start-up.
LogoImage logo_image;
IconAtlas icon_atlas;

void reset_icon_art() {
    icon_atlas = IconAtlas{};
    logo_image = LogoImage{};
}

std::array<double, 3> cross_normalised_icon_basis(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    std::array<double, 3> c = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    const double len = std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
    if (len == 0.0) return c;
    return {c[0] / len, c[1] / len, c[2] / len};
}

// Normalises in place; a zero vector stays zero rather than becoming NaN.
static void normalise3(double& x, double& y, double& z) {
    const double len = std::sqrt(x * x + y * y + z * z);
    if (len == 0.0) return;
    x /= len;
    y /= len;
    z /= len;
}

// NaN (from a degenerate scene) maps to 0 so the byte conversion stays defined.
static double clamp01(double v) { return !(v > 0.0) ? 0.0 : (v > 1.0 ? 1.0 : v); }

double trace_icon_ray(double colour[4], IconSdf scene, bool sky, double& nearest, double ox, double oy, double oz,
                      double dx, double dy, double dz, double lx, double ly, double lz, double k) {
    colour[0] = colour[1] = colour[2] = 0.75;
    colour[3] = 1.0;
    nearest = std::numeric_limits<double>::infinity();
    double t = 0.0;
    for (int step = 0; step < 2048; ++step) {
        const double px = ox + t * dx, py = oy + t * dy, pz = oz + t * dz;
        const double d = scene(colour, px, py, pz);
        if (d < nearest) nearest = d;
        if (d < 0.0001) {
            const double e = 0.00001;
            double nx = scene(nullptr, px + e, py, pz) - d;
            double ny = scene(nullptr, px, py + e, pz) - d;
            double nz = scene(nullptr, px, py, pz + e) - d;
            normalise3(nx, ny, nz);
            double Lx = k * lx - (1.0 - k) * dx, Ly = k * ly - (1.0 - k) * dy, Lz = k * lz - (1.0 - k) * dz;
            normalise3(Lx, Ly, Lz);
            const double ndl = nx * Lx + ny * Ly + nz * Lz;
            const double diffuse = std::max(0.5, ndl);
            const double skyterm = (sky && ny > 0.0) ? 0.5 * ny : 0.0;
            const double rx = Lx - 2.0 * ndl * nx, ry = Ly - 2.0 * ndl * ny, rz = Lz - 2.0 * ndl * nz;
            const double specular1 = std::pow(std::max(0.0, dx * rx + dy * ry + dz * rz), 16.0);
            const double hx = Lx - dx, hy = Ly - dy, hz = Lz - dz;
            const double hlen = std::sqrt(hx * hx + hy * hy + hz * hz);
            const double specular2 =
                hlen != 0.0 ? std::pow(std::max(0.0, (nx * hx + ny * hy + nz * hz) / hlen), 16.0) : 0.0;
            const double shade = diffuse + skyterm + 0.25 * (specular1 + specular2);
            for (int c = 0; c < 3; ++c) colour[c] = clamp01(colour[c] * shade + 0.05);
            return t;
        }
        if (t > 5.0) {
            colour[0] = colour[1] = colour[2] = colour[3] = 0.0;
            return t;
        }
        t += d;
    }
    // Neither hit nor left the range: paint it loudly.
    colour[0] = 1.0;
    colour[1] = 0.0;
    colour[2] = 0.0;
    colour[3] = 1.0;
    return t;
}

// Everything one icon render needs, fixed before any pixel is traced.
struct IconRenderSetup {
    const IconRecord* record = nullptr;
    int w = 0, h = 0;
    int left = 0, top = 0, right = 0, bottom = 0;
    double radius2 = 1.0;
    int samples = 3;
};

static IconRenderSetup icon_render_setup(int index, int w, int h) {
    IconRenderSetup s;
    s.w = w;
    s.h = h;
    const bool in_table = index >= 0 && static_cast<size_t>(index) < icon_table.size();
    s.record = in_table ? &icon_table[index] : &sphere_icon;
    const std::string& name = s.record->name;
    s.samples = (name == "SHADER" || name == "COLOUR" || name == "VREK64" || name == "VREK128") ? 4 : 3;
    if (index >= 0 && static_cast<size_t>(index) < icon_framing_table.size()) {
        const IconFraming& f = icon_framing_table[index];
        s.left = std::max(0, static_cast<int>(f[0] * w) - 1);
        s.top = std::max(0, static_cast<int>(f[1] * h) - 1);
        s.right = std::max(0, static_cast<int>(w * f[2]) - 1);
        s.bottom = std::max(0, static_cast<int>(h * f[3]) - 1);
        const double r = (w + h) * 0.25 * f[4] + 2.0;
        s.radius2 = r * r;
    }
    return s;
}

// Renders rows [y0, y1) of an icon into `pixels` (w x h x 4, top row first):
// clears them, then traces and composites every layer over them.
static void render_icon_rows(const IconRenderSetup& s, uint8_t* pixels, int y0, int y1) {
    const IconRecord& rec = *s.record;
    const int w = s.w, h = s.h, n = s.samples;
    for (int y = y0; y < y1; ++y) {
        uint8_t* row = pixels + static_cast<size_t>(y) * w * 4;
        for (int x = 0; x < w; ++x) {
            row[x * 4 + 0] = row[x * 4 + 1] = row[x * 4 + 2] = 255;
            row[x * 4 + 3] = 0;
        }
    }
    const int layers = rec.layer_count > 1 ? rec.layer_count : 1;
    const double first = 1.0 / (2.0 * n), weight = 1.0 / (n * n);
    const double focal = w / 1.1547005383792515;
    for (int layer = 0; layer < layers; ++layer) {
        IconSdf scene = rec.scene;
        double ex = rec.eye_x, ey = rec.eye_y, ez = -rec.eye_z;
        double tx = rec.target_x, ty = rec.target_y, tz = -rec.target_z;
        if (layer > 0) {
            if (static_cast<size_t>(layer) >= rec.layer_scenes.size() ||
                rec.layer_cameras.size() < static_cast<size_t>(layer + 1) * 6)
                break;
            scene = rec.layer_scenes[layer];
            const double* c = &rec.layer_cameras[layer * 6];
            ex = c[0];
            ey = c[1];
            ez = -c[2];
            tx = c[3];
            ty = c[4];
            tz = -c[5];
        }
        if (!scene) continue;
        const std::array<double, 3> D = {tx - ex, ty - ey, tz - ez};
        const double dlen = std::sqrt(D[0] * D[0] + D[1] * D[1] + D[2] * D[2]);
        if (dlen == 0.0) continue;  // eye on its target: no view direction
        const std::array<double, 3> dn = {D[0] / dlen, D[1] / dlen, D[2] / dlen};
        const std::array<double, 3> u = cross_normalised_icon_basis(D, {0.0, 1.0, 0.0});
        const std::array<double, 3> v = cross_normalised_icon_basis(D, u);
        const int ylo = std::max(y0, s.top), yhi = std::min(y1, h - s.bottom);
        for (int y = ylo; y < yhi; ++y) {
            for (int x = s.left; x < w - s.right; ++x) {
                const double cx = x - w * 0.5, cy = y - h * 0.5;
                if (cx * cx + cy * cy >= s.radius2) continue;
                double sum[4] = {0.0, 0.0, 0.0, 0.0};
                bool stop = false;
                for (int j = 0; j < n && !stop; ++j) {
                    const double sy = y + static_cast<double>(j) / n + first;
                    for (int i = 0; i < n; ++i) {
                        const double sx = x + static_cast<double>(i) / n + first;
                        double rx = dn[0] * focal + u[0] * (sx - w * 0.5) + v[0] * (sy - h * 0.5);
                        double ry = dn[1] * focal + u[1] * (sx - w * 0.5) + v[1] * (sy - h * 0.5);
                        double rz = dn[2] * focal + u[2] * (sx - w * 0.5) + v[2] * (sy - h * 0.5);
                        normalise3(rx, ry, rz);
                        double colour[4];
                        double nearest;
                        const double t = trace_icon_ray(colour, scene, rec.sky, nearest, ex, ey, ez, rx, ry, rz,
                                                        rec.light_x, rec.light_y, rec.light_z, rec.light_mix);
                        for (int c = 0; c < 4; ++c) sum[c] += colour[c];
                        if (t >= 5.0 && nearest > 0.05) {
                            stop = true;
                            break;
                        }
                    }
                }
                uint8_t* px = pixels + (static_cast<size_t>(y) * w + x) * 4;
                const double sa = sum[3] * weight;
                const double da = px[3] / 255.0;
                for (int c = 0; c < 3; ++c) {
                    const double value = sum[c] * weight * sa + (px[c] / 255.0) * da * (1.0 - sa);
                    px[c] = static_cast<uint8_t>(255.0 * clamp01(value));
                }
                px[3] = static_cast<uint8_t>(255.0 * clamp01(sa + (1.0 - sa) * da));
            }
        }
    }
}

bool render_icon_sdf(int index, int w, int h, std::vector<uint8_t>& pixels) {
    if (w < 1 || h < 1 || pixels.size() / 4 / static_cast<size_t>(w) < static_cast<size_t>(h)) return false;
    const IconRenderSetup s = icon_render_setup(index, w, h);
    render_icon_rows(s, pixels.data(), 0, h);
    return index >= 0 && static_cast<size_t>(index) < icon_table.size();
}

// Copies a size x size icon into the atlas at the cell origin, flipping rows.
static void copy_icon_to_atlas(const uint8_t* icon, int size, int cell_x, int cell_y) {
    for (int r = 0; r < size; ++r) {
        const size_t dst = (static_cast<size_t>(cell_y + size - 1 - r) * icon_atlas_size + cell_x) * 4;
        std::memcpy(&icon_atlas.pixels[dst], icon + static_cast<size_t>(r) * size * 4, static_cast<size_t>(size) * 4);
    }
}

void build_icon_atlas(int workers) {
    icon_atlas.pixels.assign(icon_atlas_bytes, 0);
    for (int i = 0; i < 64; ++i) {
        icon_atlas.cell_x[i] = icon_cell_size * (i % 8);
        icon_atlas.cell_y[i] = icon_cell_size * (i / 8);
    }
    // One job per icon, with the large window icon split into row bands so
    // that it does not finish last on its own.
    struct Job {
        int icon, size, y0, y1;
    };
    std::vector<Job> jobs;
    const int big_bands = 8;
    for (int b = 0; b < big_bands; ++b)
        jobs.push_back({ICON_VREK128, 128, 128 * b / big_bands, 128 * (b + 1) / big_bands});
    for (int i = 0; i < icon_count; ++i)
        if (i != ICON_SKIP && i != ICON_VREK128) jobs.push_back({i, icon_cell_size, 0, icon_cell_size});

    std::vector<uint8_t> big(128 * 128 * 4, 0);
    std::vector<std::vector<uint8_t>> cells(icon_count);
    art_parallel_for(static_cast<int>(jobs.size()), workers, [&](int j) {
        const Job& job = jobs[j];
        const IconRenderSetup s = icon_render_setup(job.icon, job.size, job.size);
        if (job.icon == ICON_VREK128) {
            render_icon_rows(s, big.data(), job.y0, job.y1);
        } else {
            std::vector<uint8_t>& cell = cells[job.icon];
            cell.assign(static_cast<size_t>(icon_cell_size) * icon_cell_size * 4, 0);
            render_icon_rows(s, cell.data(), 0, icon_cell_size);
        }
    });
    for (int i = 0; i < icon_count; ++i)
        if (!cells[i].empty()) copy_icon_to_atlas(cells[i].data(), icon_cell_size, icon_atlas.cell_x[i], icon_atlas.cell_y[i]);
    copy_icon_to_atlas(big.data(), 128, icon_atlas.cell_x[ICON_VREK128], icon_atlas.cell_y[ICON_VREK128]);
}

void build_logo_image(int workers) {
    const int size = logo_image_size;
    std::vector<uint8_t> buffer(static_cast<size_t>(size) * size * 4, 0);
    const IconRenderSetup s = icon_render_setup(ICON_VREK64, size, size);
    const int bands = 32;
    art_parallel_for(bands, workers, [&](int b) {
        render_icon_rows(s, buffer.data(), size * b / bands, size * (b + 1) / bands);
    });
    logo_image.render_buffer = std::move(buffer);
    logo_image.pixels = logo_image.render_buffer;
}

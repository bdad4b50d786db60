#include "export/mesh_writer.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <unistd.h>

#include "context/keyword_tables.h"
#include "text/split.h"

// ---------------------------------------------------------------------------
// Buffered output.

bool mesh_output_open(MeshOutput& out, const std::string& path, size_t buffer_bytes) {
    if (!replacement_open(out.file, path, out.failure)) {
        out.fd = -1;
        out.failed = true;
        return false;
    }
    out.fd = out.file.fd;
    // Never below MESH_OUTPUT_MIN_BUFFER, so every reserve fits.
    out.capacity = std::max(buffer_bytes, MESH_OUTPUT_MIN_BUFFER);
    out.buffer.reset(new char[out.capacity]);
    out.used = 0;
    out.failed = false;
    out.error = 0;
    out.failure.clear();
    return true;
}

static void write_all(MeshOutput& out, const char* data, size_t n) {
    if (out.failed) return;
    int code = 0;
    if (!write_all_bytes(out.fd, data, n, code)) {
        out.failed = true;
        out.error = code;
    }
}

void mesh_output_flush(MeshOutput& out) {
    if (out.fd >= 0 && out.used > 0) write_all(out, out.buffer.get(), out.used);
    // After a failure the rest is dropped; the result is already decided.
    out.used = 0;
}

bool mesh_output_close(MeshOutput& out) {
    if (out.fd < 0) return false;
    mesh_output_flush(out);
    if (out.failed && out.error == 0) out.error = EIO;
    if (!replacement_commit(out.file, out.error, out.failure)) out.failed = true;
    out.fd = -1;
    out.buffer.reset();
    out.capacity = 0;
    return !out.failed;
}

bool mesh_output_result(bool ok, const std::string& reason, std::string* failure) {
    if (!ok && failure) *failure = reason;
    return ok;
}

void mesh_output_bytes(MeshOutput& out, const void* data, size_t n) {
    const char* bytes = static_cast<const char*>(data);
    if (n <= out.capacity - out.used) {
        std::memcpy(out.buffer.get() + out.used, bytes, n);
        out.used += n;
        return;
    }
    mesh_output_flush(out);
    if (n < out.capacity) {
        std::memcpy(out.buffer.get(), bytes, n);
        out.used = n;
    } else {
        write_all(out, bytes, n);
    }
}

// ---------------------------------------------------------------------------
// Numbers.

char* format_mesh_integer(char* out, int64_t value) { return std::to_chars(out, out + MESH_NUMBER_CHARS, value).ptr; }

// "%.<p>g" of the value, p counted up from 6 until it reads back exactly.
static char* format_by_search(char* out, double value) {
    for (int precision = 6; precision < 17; ++precision) {
        char* end = std::to_chars(out, out + MESH_NUMBER_CHARS, value, std::chars_format::general, precision).ptr;
        double back = 0.0;
        std::from_chars(out, end, back);
        if (back == value) return end;
    }
    return std::to_chars(out, out + MESH_NUMBER_CHARS, value, std::chars_format::general, 17).ptr;
}

char* format_mesh_double(char* out, double value) {
    // The shortest digits that read back, in scientific form d.ddde+XX.
    char sci[MESH_NUMBER_CHARS];
    char* const sci_end = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific).ptr;
    const char* s = sci;
    char* o = out;
    if (*s == '-') *o++ = *s++;
    if (*s < '0' || *s > '9') {
        // inf, nan: as the stream prints them.
        std::memcpy(o, s, static_cast<size_t>(sci_end - s));
        return o + (sci_end - s);
    }
    char digits[24];
    int d = 0;
    while (s < sci_end && *s != 'e') {
        if (*s != '.') digits[d++] = *s;
        ++s;
    }
    int exponent = 0;
    std::from_chars(s + (s[1] == '+' ? 2 : 1), sci_end, exponent);

    // The shortest digits are what "%.<p>g" prints for p = max(6, d) when
    // the decimal nearest to the value is the shortest one. For d up to 15
    // two d-digit decimals never share the interval of a normal double, so
    // that holds; beyond, it can fail only beside a power of two, where the
    // interval is lopsided. Subnormals have wide intervals: no such rule.
    uint64_t bits;
    std::memcpy(&bits, &value, 8);
    const bool subnormal = (bits & (uint64_t(0x7FF) << 52)) == 0 && value != 0.0;
    if (subnormal || (d >= 16 && (bits & ((uint64_t(1) << 52) - 1)) == 0)) return format_by_search(out, value);

    const int precision = std::max(6, d);
    if (exponent < -4 || exponent >= precision) {
        *o++ = digits[0];
        if (d > 1) {
            *o++ = '.';
            std::memcpy(o, digits + 1, static_cast<size_t>(d - 1));
            o += d - 1;
        }
        *o++ = 'e';
        *o++ = exponent < 0 ? '-' : '+';
        const int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude < 10) *o++ = '0';
        return std::to_chars(o, o + 4, magnitude).ptr;
    }
    if (exponent >= 0) {
        const int whole = exponent + 1;
        for (int k = 0; k < whole; ++k) *o++ = k < d ? digits[k] : '0';
        if (d > whole) {
            *o++ = '.';
            std::memcpy(o, digits + whole, static_cast<size_t>(d - whole));
            o += d - whole;
        }
        return o;
    }
    *o++ = '0';
    *o++ = '.';
    for (int k = -1; k > exponent; --k) *o++ = '0';
    std::memcpy(o, digits, static_cast<size_t>(d));
    return o + d;
}

std::string mesh_double_text(double value) {
    char text[MESH_NUMBER_CHARS];
    return std::string(text, format_mesh_double(text, value));
}

// ---------------------------------------------------------------------------
// The mesh walk.

static WalkedMesh walked(const InteropMesh* mesh, const EntityRecord& owner, bool identity) {
    WalkedMesh w;
    w.mesh = mesh;
    w.owner = &owner;
    w.identity = identity;
    w.mirrored = !identity && entity_transform_mirrors(owner);
    w.stride = mesh->dimension == 2 ? 2 : 3;
    w.vertex_count = static_cast<int64_t>(mesh->positions.size() / static_cast<size_t>(w.stride));
    return w;
}

std::vector<WalkedMesh> walk_visible_meshes(const EntitySet& set) {
    std::vector<WalkedMesh> meshes;
    const size_t records = set.count > 0 ? std::min(set.records.size(), static_cast<size_t>(set.count)) : 0;
    for (size_t i = 0; i < records; ++i) {
        const EntityRecord& entity = set.records[i];
        if (!entity.visible) continue;
        const bool identity = entity_transform_is_identity(entity);
        if (entity.parallel == 0) {
            if (entity.mesh) meshes.push_back(walked(entity.mesh, entity, identity));
            continue;
        }
        const size_t listed = static_cast<size_t>(std::max(entity.subelement_count, 0));
        const size_t slots = std::min(entity.subelement_records.size(), listed);
        for (size_t j = 0; j < slots; ++j) {
            const EntityRecord* sub = entity.subelement_records[j];
            if (sub && sub->mesh) meshes.push_back(walked(sub->mesh, entity, identity));
        }
    }
    int64_t first = 0;
    for (WalkedMesh& w : meshes) {
        w.first_vertex = first;
        first += w.vertex_count;
    }
    return meshes;
}

int64_t walked_vertex_total(const std::vector<WalkedMesh>& meshes) {
    int64_t total = 0;
    for (const WalkedMesh& w : meshes) total += w.vertex_count;
    return total;
}

int64_t count_triangles(const std::vector<WalkedMesh>& meshes) {
    int64_t total = 0;
    for (const WalkedMesh& w : meshes) visit_triangles(w, [&](const uint32_t*) { ++total; });
    return total;
}

int64_t count_faces(const std::vector<WalkedMesh>& meshes, int topology) {
    if (topology == TOPOLOGY_TRIANGLES) return count_triangles(meshes);
    if (topology != TOPOLOGY_POLYGONS) return 0;
    int64_t total = 0;
    for (const WalkedMesh& w : meshes) visit_polygons(w, [&](const uint32_t*, uint32_t) { ++total; });
    return total;
}

// ---------------------------------------------------------------------------
// Header and shared text records.

static const char* topology_name(int topology) {
    switch (topology) {
    case TOPOLOGY_TRIANGLES: return "triangles";
    case TOPOLOGY_QUADS: return "quads";
    case TOPOLOGY_POLYGONS: return "polygons";
    default: return "points";
    }
}

static std::string integer_text(int64_t value) {
    char text[MESH_NUMBER_CHARS];
    return std::string(text, format_mesh_integer(text, value));
}

std::string mesh_comment_header(const char* prefix, const std::string& path, int64_t vertices, int64_t faces,
                                int topology, bool normals, bool colours, const char* colour_kind) {
    const std::string p(prefix);
    // A line break in the name would end the comment and corrupt the file.
    std::string name = extract_file_name(path);
    for (char& c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    }
    std::string h;
    h += p + " " + name + "\n";
    h += p + " " + generator_text + "\n";
    h += p + " " + version_text + "\n";
    h += p + "   - vertex : " + integer_text(vertices) + "\n";
    h += p + "   - faces : " + integer_text(faces) + "\n";
    h += p + "   - topology : " + integer_text(topology) + " (" + topology_name(topology) + ")\n";
    h += p + "   - dimension : 3\n";
    h += p + "   - normals : " + (normals ? "per-vertex-NXYZ" : "none") + "\n";
    h += p + "   - colours : " + (colours ? colour_kind : "none") + "\n";
    return h;
}

void write_text_vertex_lines(MeshOutput& out, const std::vector<WalkedMesh>& meshes, int topology, bool normals,
                             bool colours) {
    for (const WalkedMesh& w : meshes) {
        const NormalList normal_array = topology_normals(*w.mesh, topology);
        for (int64_t v = 0; v < w.vertex_count; ++v) {
            char* o = mesh_output_reserve(out, 10 * (MESH_NUMBER_CHARS + 1) + 1);
            double p[3];
            vertex_position(w, v, p);
            o = format_mesh_double(o, p[0]);
            *o++ = ' ';
            o = format_mesh_double(o, p[1]);
            *o++ = ' ';
            o = format_mesh_double(o, p[2]);
            if (normals) {
                double n[3];
                vertex_normal(w, normal_array, v, n);
                for (double value : n) {
                    *o++ = ' ';
                    o = format_mesh_double(o, value);
                }
            }
            if (colours) {
                double c[4];
                vertex_colour(w, v, c);
                for (double value : c) {
                    *o++ = ' ';
                    o = format_mesh_integer(o, colour_channel_integer(value));
                }
            }
            *o++ = '\n';
            mesh_output_commit(out, o);
        }
    }
}

// One "n i0 i1 ..." line; a long polygon is written in pieces.
static void write_index_face(MeshOutput& out, const uint32_t* corners, uint32_t n, int64_t offset) {
    char* o = mesh_output_reserve(out, MESH_NUMBER_CHARS);
    o = format_mesh_integer(o, n);
    mesh_output_commit(out, o);
    for (uint32_t k = 0; k < n; ++k) {
        o = mesh_output_reserve(out, MESH_NUMBER_CHARS + 2);
        *o++ = ' ';
        o = format_mesh_integer(o, corners[k] + offset);
        mesh_output_commit(out, o);
    }
    o = mesh_output_reserve(out, 1);
    *o++ = '\n';
    mesh_output_commit(out, o);
}

void write_text_index_faces(MeshOutput& out, const std::vector<WalkedMesh>& meshes, int topology) {
    for (const WalkedMesh& w : meshes) {
        const int64_t offset = w.first_vertex;
        if (topology == TOPOLOGY_POLYGONS) {
            visit_polygons(w, [&](const uint32_t* corners, uint32_t n) { write_index_face(out, corners, n, offset); });
        } else if (topology == TOPOLOGY_TRIANGLES) {
            visit_triangles(w, [&](const uint32_t* c) {
                char* o = mesh_output_reserve(out, 3 * (MESH_NUMBER_CHARS + 1) + 3);
                *o++ = '3';
                for (int k = 0; k < 3; ++k) {
                    *o++ = ' ';
                    o = format_mesh_integer(o, c[k] + offset);
                }
                *o++ = '\n';
                mesh_output_commit(out, o);
            });
        }
    }
}

#pragma once
#include <cstdint>
#include <string>

#include "model/environment.h"

// Writes the visible entities of the set as one PLY file, text or
// little-endian binary: double coordinates, optional double normals and
// byte colours, int index lists from the polygon list (topology 0) or the
// triangles (3). True only when the whole file was written and closed;
// false without writing when an index would not fit a 32-bit int.
// On failure `failure`, when given, says why.
bool write_ply_file(const EntitySet& set, const std::string& path, int topology, bool normals, bool colours,
                    bool binary, std::string* failure = nullptr);

// Whether a file of this many vertices can number them with int32 indices.
bool ply_vertex_total_fits(int64_t vertices);

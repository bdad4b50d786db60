#pragma once
#include <string>

#include "model/environment.h"

// Writes the visible entities of the set as one Wavefront OBJ text file:
// vertex lines (with RGB when `colours`), normal lines when `normals`, and
// face lines from the polygon list (topology 0) or the triangles (3), all
// meshes sharing one numbering from 1. True only when the whole file was
// written and closed; otherwise `failure`, when given, says why.
bool write_obj_file(const EntitySet& set, const std::string& path, int topology, bool normals, bool colours,
                    std::string* failure = nullptr);

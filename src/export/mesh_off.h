#pragma once
#include <string>

#include "model/environment.h"

// Writes the visible entities of the set as one OFF-family text file
// ("OFF", "NOFF" with normals, "COFF" with colours, "CNOFF" with both),
// faces from the polygon list (topology 0) or the triangles (3). True only
// when the whole file was written and closed.
bool write_off_file(const EntitySet& set, const std::string& path, int topology, bool normals, bool colours,
                    std::string* failure = nullptr);

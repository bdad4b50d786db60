#pragma once
#include <string>

#include "model/environment.h"

// Writes every triangle of the visible entities as one STL file, text or
// binary, with facet normals computed from the transformed corners. True
// only when the whole file was written and closed; otherwise `failure`, when given, says why.
bool write_stl_file(const EntitySet& set, const std::string& path, bool binary, std::string* failure = nullptr);

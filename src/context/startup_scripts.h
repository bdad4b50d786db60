#pragma once
#include <string>
#include <vector>

// The scripts the program assembles for itself at start-up: three intro
// meshes (assembled together in one kernel run) and the start-up entity.
std::vector<std::string> default_startup_scripts();
std::string default_startup_entity_script();

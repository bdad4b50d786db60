#pragma once
#include <string>

// The whole file, byte for byte; "" after a printed message when it cannot
// be read (missing, unreadable, a directory).
std::string read_file(const std::string& path);

// Creates or truncates the file and writes the text; true only when every
// byte was written and the file closed cleanly.
bool write_text_file(const std::string& path, const std::string& text);

// True when the path can be opened for reading (a file or a directory).
bool path_exists(const std::string& path);

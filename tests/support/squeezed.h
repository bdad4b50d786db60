#pragma once
// Message texts compared with blanks and line ends left out: a box breaks
// its lines where the text meets its edge, which depends on the length of
// the paths in it (and a path may hold blanks of its own).
#include <algorithm>
#include <string>

inline std::string squeezed(std::string text) {
    text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\n' || c == '\t'; }),
               text.end());
    return text;
}

#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Splitting and path utilities. None of them touches the file system.

// Appends the pieces of `text` cut at `delimiter`; empty pieces are kept,
// except that a trailing delimiter adds no empty piece at the end.
void split_into(const std::string& text, char delimiter, std::vector<std::string>& list);
std::vector<std::string> split(const std::string& text, char delimiter);
void split_nonempty_into(const std::string& text, char delimiter, std::vector<std::string>& list);
std::vector<std::string> split_nonempty(const std::string& text, char delimiter);
// Replaces `list` with the pieces of `text` cut at the non-empty `separator`.
void split_by_string(const std::string& text, const std::string& separator, std::vector<std::string>& list);

// Classes of every character of a script text: code, string or character
// literal ('...' or "...", a backslash keeping the next character in it; a
// line break ends one), comment ("//" to the line end, "/* */").
enum CharClass : uint8_t { CHAR_CODE = 0, CHAR_LITERAL = 1, CHAR_COMMENT = 2 };
std::vector<uint8_t> classify_characters(const std::string& text);

// The first argument of a call-like text with all white space removed, or "?".
std::string extract_first_argument(const std::string& text);
// File-name and directory parts, cut at the last "/" (a trailing one
// stays with the name). The file name is the one panes show (shown_name);
// the directory keeps every byte.
std::string extract_file_name(const std::string& path);
std::string extract_directory(const std::string& path);

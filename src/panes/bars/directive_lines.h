#pragma once
#include <string>
#include <vector>

struct EntitySet;

// Directive lines that steer the inspector itself: a line belongs to a family
// when its upper-cased copy starts with one of the family's prefixes. Lines
// are returned as written (case and carriage returns kept), in text order;
// blank lines never count.
std::vector<std::string> collect_camera_directive_lines(std::string section_text);
std::vector<std::string> collect_variant_directive_lines(std::string section_text);
int count_animation_directive_lines(const std::string& section_text);

// The six numbers between the first "{" and the last "}" of a camera line,
// blanks ignored, read in order up to the first one that does not read; the
// rest stay 0. Locale-independent.
void read_camera_directive_values(const std::string& line, double values[6]);

// The name/value pieces between the braces of a variant line: ",", ":", ";",
// "=" and "|" separate, blanks are dropped, empty pieces vanish. An odd
// count prints "PARITY-ISSUE-IN-PARAMETRIC-VARIANT! [<n>];" and gives none.
std::vector<std::string> read_variant_pieces(const std::string& line);

// The entity of `set` whose serial id is `serial`; null when it has gone.
struct EntityRecord;
EntityRecord* find_entity_by_serial(EntitySet* set, int serial);

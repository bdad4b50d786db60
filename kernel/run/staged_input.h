// Staged input texts: the element-block form ("n;\n" then "{ ... };" blocks),
// the parse report composed from a parsed script, and tag neutralising.
#pragma once

#include <string>
#include <vector>

#include "script/program.h"

struct StagedBlock {
    std::string body;       // text between the braces
    std::string label;      // the "// E:" reference of a sub-element block, if any
    std::string source;     // body without the label line and framing line feeds
    bool empty = false;     // "{ };"
};

struct StagedInput {
    bool has_count = false;
    long long count = 0;
    std::vector<StagedBlock> blocks;
    std::vector<std::string> problems;  // one line each
    size_t entries = 0;                 // how many results to produce
};

StagedInput read_element_blocks(const std::string& text);

// How many lines the program staged in front of the script in `text`, so
// that error lines count the script's lines as the user wrote them. A parse
// input (`element_block` false) opens with "// logic". An element block's
// body opens with its line break, "// directives", "#execute_mode:...;" and
// "// logic"; a pushed script then adds "// parameters", one statement per
// parameter and, when written, its own "// logic". Text that does not open
// so has no header (0).
int staged_header_lines(const std::string& text, bool element_block);

// The seven sections and the SOURCE block.
std::string compose_parse_report(const ScriptProgram& program, const std::string& source,
                                 const std::vector<std::string>& extra_errors = {});

// Replaces the '<' of every report tag by "&lt;" so a quoted text cannot
// open or close a section.
std::string neutralise_report_tags(const std::string& text);

// Cuts a script into statements: each ends in ';' at bracket depth 0 outside
// quotes, comments are dropped and runs of white space collapse to one blank,
// so every statement echoes on a single line.
#pragma once

#include <string>
#include <vector>

enum StatementKind { STATEMENT_DIRECTIVE, STATEMENT_PARAMETER, STATEMENT_FUNCTION, STATEMENT_OPERATION };

struct ScriptStatement {
    std::string text;  // collapsed, ends in ';'
    int line = 1;      // source line where it starts
    StatementKind kind = STATEMENT_OPERATION;
    bool broken = false;  // an unbalanced bracket or quote was reported for it
};

struct StatementSplit {
    std::vector<ScriptStatement> statements;
    std::vector<std::string> errors;  // one line each, without line feed
};

// `header_lines`: how many lines the program staged in front of the script
// (run/staged_input.h). The script's own first line is line 1, so error
// lines are the user's; the header's lines are numbered 0 and below.
StatementSplit split_statements(const std::string& script, int header_lines = 0);

// Where a statement starts, for a message: " AT LINE n", or for a line of
// the staged header " IN THE STAGED HEADER".
std::string line_position(int line);

// Keyword of a typed declaration ("INT" .. "STR") or -1. Case-insensitive.
int parameter_type_code(const std::string& word);

// Replaces control bytes (line breaks included) by blanks and bytes >= 0x7F by
// '?', and neutralises the report's own tags, so user text quoted in a report
// line can never start a new line or section.
std::string report_safe(const std::string& text, size_t max_length = 200);

// True when the text holds one of the report's tags ("<ERRORS>", "</SOURCE>",
// "<BREAK>" ...), which would make the parse output ambiguous.
bool contains_report_tag(const std::string& text);

#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Text utilities shared by every part of the program. Every number
// conversion here is independent of the process locale: GTK sets the
// user's locale, and kernel inputs, reports and files must not change
// with it.

std::string concat2(const std::string& a, const std::string& b);
std::string concat3(const std::string& a, const std::string& b, const std::string& c);
std::string concat4(const std::string& a, const std::string& b, const std::string& c, const std::string& d);
std::string concat5(const std::string& a, const std::string& b, const std::string& c, const std::string& d,
                    const std::string& e);
std::string concat6(const std::string& a, const std::string& b, const std::string& c, const std::string& d,
                    const std::string& e, const std::string& f);
std::string concat7(const std::string& a, const std::string& b, const std::string& c, const std::string& d,
                    const std::string& e, const std::string& f, const std::string& g);
std::string concat8(const std::string& a, const std::string& b, const std::string& c, const std::string& d,
                    const std::string& e, const std::string& f, const std::string& g, const std::string& h);
std::string concat11(const std::string& a, const std::string& b, const std::string& c, const std::string& d,
                     const std::string& e, const std::string& f, const std::string& g, const std::string& h,
                     const std::string& i, const std::string& j, const std::string& k);
std::string concat12(const std::string& a, const std::string& b, const std::string& c, const std::string& d,
                     const std::string& e, const std::string& f, const std::string& g, const std::string& h,
                     const std::string& i, const std::string& j, const std::string& k, const std::string& l);
std::string concat13(const std::string& a, const std::string& b, const std::string& c, const std::string& d,
                     const std::string& e, const std::string& f, const std::string& g, const std::string& h,
                     const std::string& i, const std::string& j, const std::string& k, const std::string& l,
                     const std::string& m);
std::string concat14(const std::string& a, const std::string& b, const std::string& c, const std::string& d,
                     const std::string& e, const std::string& f, const std::string& g, const std::string& h,
                     const std::string& i, const std::string& j, const std::string& k, const std::string& l,
                     const std::string& m, const std::string& n);
std::string concat15(const std::string& a, const std::string& b, const std::string& c, const std::string& d,
                     const std::string& e, const std::string& f, const std::string& g, const std::string& h,
                     const std::string& i, const std::string& j, const std::string& k, const std::string& l,
                     const std::string& m, const std::string& n, const std::string& o);

std::string int_to_text(int32_t value);
std::string long_to_text(int64_t value);
// General notation, six significant digits ("%g"): 0.5, 100, 1.23457e+06, 1e-05.
std::string double_to_text(double value);
// The shortest text that reads back as the same double: 0.5, 1234567,
// 0.123456789, 1e-300.
std::string double_to_exact_text(double value);
// Fixed notation with exactly `decimals` digits (a negative count means 6).
std::string double_to_text_fixed(double value, int32_t decimals);
std::string char_to_text(char c);
// Decimal digits with a comma between groups of three: 1,234,567.
std::string long_to_grouped_text(int64_t value);

// Length of the valid UTF-8 sequence at i (1 for ASCII), or 0.
size_t utf8_sequence_length(const std::string& text, size_t i);
// A file name as every pane shows it: the bytes of invalid UTF-8
// sequences are left out (no typeface has a glyph for them), the rest is
// kept byte for byte.
std::string shown_name(const std::string& name);

std::string pad_left(const std::string& text, int32_t width, char fill);
std::string to_lower(const std::string& text);
std::string to_upper(const std::string& text);
// Strips NUL, TAB, LF, CR and SPACE from both ends.
std::string trim_whitespace(const std::string& text);
// The first min(n, size) lines joined with "\n". Safe from any thread.
std::string join_lines(const std::vector<std::string>& lines, int32_t n);

// Removes the "N|" group prefixes from invocation records (invocation text,
// complete source) and returns one group key per record (-1: no group).
std::vector<int32_t> extract_invocation_group_keys(std::vector<std::vector<std::string>>& records);

// Prints the line to standard output and, when `out` holds an element,
// replaces its first element with the line.
void print_and_store_line(std::vector<std::string>* out, const std::string& line);

// Locale-independent text-to-number readers: the whole text (after
// optional surrounding white space) must be one number.
bool text_to_int(const std::string& text, int32_t& value);
bool text_to_long(const std::string& text, int64_t& value);
bool text_to_double(const std::string& text, double& value);

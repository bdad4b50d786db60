#pragma once
#include <cstdint>
#include <string>

// Numbers read the way formatted input reads them ("%d", "%ld", "%i",
// "%lf"): leading white space is skipped, a sign may follow, and whatever
// comes after the number is ignored ("12abc" reads 12). No number at all, or
// one beyond the type's range, fails. Independent of the process locale.

bool scan_leading_int(const std::string& text, int32_t& value);
bool scan_leading_long(const std::string& text, int64_t& value);
// "%i": "0x1f" hexadecimal, "017" octal, anything else decimal.
bool scan_leading_int_any_base(const std::string& text, int32_t& value);
// "%lf": decimal or hexadecimal notation with an exponent; "inf" and "nan"
// read as those values, a magnitude beyond the double range fails.
bool scan_leading_double(const std::string& text, double& value);

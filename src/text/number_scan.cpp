#include "text/number_scan.h"

#include <cctype>
#include <charconv>
#include <limits>

namespace {

bool is_scan_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Start of the number proper: after blanks and a '+' (from_chars takes '-'
// but not '+'). A '+' directly followed by '-' is no number at all.
const char* skip_to_number(const char* p, const char* end) {
    while (p < end && is_scan_space(*p)) ++p;
    if (p < end && *p == '+') {
        ++p;
        if (p < end && *p == '-') return nullptr;
    }
    return p;
}

template <typename Int>
bool scan_integer(const std::string& text, Int& value) {
    const char* end = text.data() + text.size();
    const char* p = skip_to_number(text.data(), end);
    if (!p) return false;
    Int parsed = 0;
    auto r = std::from_chars(p, end, parsed, 10);
    if (r.ec != std::errc()) return false;  // no digits, or out of range
    value = parsed;
    return true;
}

bool is_hex_digit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

}  // namespace

bool scan_leading_int(const std::string& text, int32_t& value) { return scan_integer(text, value); }
bool scan_leading_long(const std::string& text, int64_t& value) { return scan_integer(text, value); }

bool scan_leading_int_any_base(const std::string& text, int32_t& value) {
    const char* end = text.data() + text.size();
    const char* p = text.data();
    while (p < end && is_scan_space(*p)) ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    if (p >= end) return false;
    uint64_t magnitude = 0;
    std::from_chars_result r{};
    if (*p == '0' && end - p > 2 && (p[1] == 'x' || p[1] == 'X') && is_hex_digit(p[2])) {
        r = std::from_chars(p + 2, end, magnitude, 16);
    } else if (*p == '0') {
        // "0x" without a hex digit is the number 0 followed by text.
        r = std::from_chars(p, end, magnitude, 8);
    } else {
        r = std::from_chars(p, end, magnitude, 10);
    }
    if (r.ec != std::errc()) return false;
    const uint64_t limit = negative ? uint64_t{1} << 31 : (uint64_t{1} << 31) - 1;
    if (magnitude > limit) return false;
    value = negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude)) : static_cast<int32_t>(magnitude);
    return true;
}

bool scan_leading_double(const std::string& text, double& value) {
    const char* end = text.data() + text.size();
    const char* p = skip_to_number(text.data(), end);
    if (!p) return false;
    // Hexadecimal floats ("0x1p3") are numbers to formatted input as well.
    const char* q = p;
    bool negative = false;
    if (q < end && *q == '-') {
        negative = true;
        ++q;
    }
    const auto hex_digit = [&](const char* c) { return c < end && std::isxdigit(static_cast<unsigned char>(*c)); };
    // Only hex digits (or a point and one) after "0x" make a hexadecimal
    // number: from_chars would also take a sign, "nan" or "inf" there, where
    // "0x" is the number 0 followed by text.
    if (end - q > 2 && q[0] == '0' && (q[1] == 'x' || q[1] == 'X') &&
        (hex_digit(q + 2) || (q[2] == '.' && hex_digit(q + 3)))) {
        double parsed = 0.0;
        auto r = std::from_chars(q + 2, end, parsed, std::chars_format::hex);
        if (r.ec != std::errc()) return false;  // beyond the double range
        value = negative ? -parsed : parsed;
        return true;
    }
    double parsed = 0.0;
    auto r = std::from_chars(p, end, parsed, std::chars_format::general);
    if (r.ec != std::errc()) return false;
    value = parsed;
    return true;
}

#include "text/text_utils.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace {

template <typename... Texts>
std::string concat_all(const Texts&... texts) {
    std::string out;
    out.reserve((texts.size() + ...));
    (out.append(texts), ...);
    return out;
}

template <typename Int>
std::string integer_text(Int value) {
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string formatted_double(double value, std::chars_format format, int precision) {
    // Fixed notation of 1e308 needs 309 integer digits; size for the worst case.
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
    if (result.ec != std::errc()) {
        return std::string();
    }
    return std::string(buffer, result.ptr);
}

bool is_trim_space(char c) {
    return c == '\0' || c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

// Accepts optional surrounding white space and a leading '+', like the C
// readers, but requires the rest of the text to be exactly one number.
template <typename Number, typename Reader>
bool read_whole_number(const std::string& text, Number& value, Reader reader) {
    std::string trimmed = trim_whitespace(text);
    const char* first = trimmed.data();
    const char* last = first + trimmed.size();
    if (first != last && *first == '+' && last - first > 1 && first[1] != '-') {
        ++first;
    }
    if (first == last) {
        return false;
    }
    Number parsed{};
    auto result = reader(first, last, parsed);
    if (result.ec != std::errc() || result.ptr != last) {
        return false;
    }
    value = parsed;
    return true;
}

}  // namespace

std::string concat2(const std::string& a, const std::string& b) { return concat_all(a, b); }
std::string concat3(const std::string& a, const std::string& b, const std::string& c) { return concat_all(a, b, c); }
std::string concat4(const std::string& a, const std::string& b, const std::string& c, const std::string& d) {
    return concat_all(a, b, c, d);
}
std::string concat5(const std::string& a, const std::string& b, const std::string& c, const std::string& d,
                    const std::string& e) {
    return concat_all(a, b, c, d, e);
}
std::string concat6(const std::string& a, const std::string& b, const std::string& c, const std::string& d,
                    const std::string& e, const std::string& f) {
    return concat_all(a, b, c, d, e, f);
}
std::string concat7(const std::string& a, const std::string& b, const std::string& c, const std::string& d,
                    const std::string& e, const std::string& f, const std::string& g) {
    return concat_all(a, b, c, d, e, f, g);
}
std::string concat8(const std::string& a, const std::string& b, const std::string& c, const std::string& d,
                    const std::string& e, const std::string& f, const std::string& g, const std::string& h) {
    return concat_all(a, b, c, d, e, f, g, h);
}
std::string concat11(const std::string& a, const std::string& b, const std::string& c, const std::string& d,
                     const std::string& e, const std::string& f, const std::string& g, const std::string& h,
                     const std::string& i, const std::string& j, const std::string& k) {
    return concat_all(a, b, c, d, e, f, g, h, i, j, k);
}
std::string concat12(const std::string& a, const std::string& b, const std::string& c, const std::string& d,
                     const std::string& e, const std::string& f, const std::string& g, const std::string& h,
                     const std::string& i, const std::string& j, const std::string& k, const std::string& l) {
    return concat_all(a, b, c, d, e, f, g, h, i, j, k, l);
}
std::string concat13(const std::string& a, const std::string& b, const std::string& c, const std::string& d,
                     const std::string& e, const std::string& f, const std::string& g, const std::string& h,
                     const std::string& i, const std::string& j, const std::string& k, const std::string& l,
                     const std::string& m) {
    return concat_all(a, b, c, d, e, f, g, h, i, j, k, l, m);
}
std::string concat14(const std::string& a, const std::string& b, const std::string& c, const std::string& d,
                     const std::string& e, const std::string& f, const std::string& g, const std::string& h,
                     const std::string& i, const std::string& j, const std::string& k, const std::string& l,
                     const std::string& m, const std::string& n) {
    return concat_all(a, b, c, d, e, f, g, h, i, j, k, l, m, n);
}
std::string concat15(const std::string& a, const std::string& b, const std::string& c, const std::string& d,
                     const std::string& e, const std::string& f, const std::string& g, const std::string& h,
                     const std::string& i, const std::string& j, const std::string& k, const std::string& l,
                     const std::string& m, const std::string& n, const std::string& o) {
    return concat_all(a, b, c, d, e, f, g, h, i, j, k, l, m, n, o);
}

std::string int_to_text(int32_t value) { return integer_text(value); }
std::string long_to_text(int64_t value) { return integer_text(value); }

std::string double_to_text(double value) {
    // to_chars' general format with a precision follows "%g" exactly, in the
    // classic conventions whatever the process locale is.
    return formatted_double(value, std::chars_format::general, 6);
}

std::string double_to_exact_text(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string();
}

std::string double_to_text_fixed(double value, int32_t decimals) {
    if (decimals < 0) {
        decimals = 6;
    }
    return formatted_double(value, std::chars_format::fixed, decimals);
}

std::string char_to_text(char c) { return std::string(1, c); }

std::string long_to_grouped_text(int64_t value) {
    std::string digits = long_to_text(value);
    std::string out;
    out.reserve(digits.size() + digits.size() / 3);
    size_t walked = 0;
    for (size_t i = digits.size(); i-- > 0;) {
        out.push_back(digits[i]);
        ++walked;
        bool next_is_digit = i > 0 && digits[i - 1] != '-';
        if (walked % 3 == 0 && next_is_digit) {
            out.push_back(',');
        }
    }
    return std::string(out.rbegin(), out.rend());
}

std::string pad_left(const std::string& text, int32_t width, char fill) {
    int64_t length = static_cast<int64_t>(text.size());
    if (length >= width) {
        return text;
    }
    std::string out(static_cast<size_t>(width - length), fill);
    out += text;
    return out;
}

std::string to_lower(const std::string& text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string to_upper(const std::string& text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string trim_whitespace(const std::string& text) {
    size_t first = 0;
    while (first < text.size() && is_trim_space(text[first])) {
        ++first;
    }
    if (first == text.size()) {
        return std::string();
    }
    size_t last = text.size() - 1;
    while (last > first && is_trim_space(text[last])) {
        --last;
    }
    return text.substr(first, last - first + 1);
}

std::string join_lines(const std::vector<std::string>& lines, int32_t n) {
    int64_t m = std::min<int64_t>(n, static_cast<int64_t>(lines.size()));
    std::string out;
    if (m <= 0) {
        return out;
    }
    size_t total = static_cast<size_t>(m - 1);
    for (int64_t i = 0; i < m; ++i) {
        total += lines[static_cast<size_t>(i)].size();
    }
    out.reserve(total);
    out += lines[0];
    for (int64_t i = 1; i < m; ++i) {
        out += '\n';
        out += lines[static_cast<size_t>(i)];
    }
    return out;
}

std::vector<int32_t> extract_invocation_group_keys(std::vector<std::vector<std::string>>& records) {
    std::vector<int32_t> keys(records.size(), -1);
    std::vector<bool> has_prefix(records.size(), false);
    int32_t largest = -1;

    auto well_formed = [](const std::vector<std::string>& record) {
        return record.size() == 2 && !record[0].empty() && record[1].size() != 1;
    };

    for (size_t r = 0; r < records.size(); ++r) {
        std::vector<std::string>& record = records[r];
        if (!well_formed(record)) {
            continue;
        }
        std::string& invocation = record[0];
        int32_t key = 0;
        bool rejected = false;
        for (size_t i = 0; i < invocation.size(); ++i) {
            unsigned char c = static_cast<unsigned char>(invocation[i]);
            if (c >= '0' && c <= '9') {
                key = key * 10 + (c - '0');
            } else if (c == ' ') {
                // spaces between the digits are skipped
            } else if (c < '0' || c >= 128) {
                rejected = true;
                break;
            } else {
                if (c == '|') {
                    std::string rest = invocation.substr(i + 1);
                    has_prefix[r] = i > 0;
                    if (!rest.empty() && rest[0] == ' ') {
                        rest = trim_whitespace(rest);
                    }
                    invocation = rest;
                    keys[r] = key;
                    largest = std::max(largest, key);
                } else {
                    rejected = true;
                }
                break;
            }
            if (i + 1 == invocation.size() || i + 1 == 9) {
                // at most 8 digits or spaces stand before the "|"
                rejected = true;
                break;
            }
        }
        if (rejected) {
            keys[r] = -1;
        }
    }

    for (size_t r = 0; r < records.size(); ++r) {
        if (well_formed(records[r]) && !has_prefix[r]) {
            keys[r] = ++largest;
        }
    }
    return keys;
}

void print_and_store_line(std::vector<std::string>* out, const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    if (out != nullptr && !out->empty()) {
        (*out)[0] = line;
    }
}

bool text_to_int(const std::string& text, int32_t& value) {
    return read_whole_number(text, value, [](const char* f, const char* l, int32_t& v) {
        return std::from_chars(f, l, v);
    });
}

bool text_to_long(const std::string& text, int64_t& value) {
    return read_whole_number(text, value, [](const char* f, const char* l, int64_t& v) {
        return std::from_chars(f, l, v);
    });
}

bool text_to_double(const std::string& text, double& value) {
    return read_whole_number(text, value, [](const char* f, const char* l, double& v) {
        return std::from_chars(f, l, v);
    });
}

size_t utf8_sequence_length(const std::string& text, size_t i) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    size_t length = 0;
    uint32_t lowest = 0;
    if (b < 0x80) return 1;
    if (b >= 0xC2 && b <= 0xDF) length = 2, lowest = 0x80;
    else if (b >= 0xE0 && b <= 0xEF) length = 3, lowest = 0x800;
    else if (b >= 0xF0 && b <= 0xF4) length = 4, lowest = 0x10000;
    else return 0;
    if (i + length > text.size()) return 0;
    uint32_t code = b & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        const unsigned char t = static_cast<unsigned char>(text[i + k]);
        if ((t & 0xC0) != 0x80) return 0;
        code = (code << 6) | (t & 0x3F);
    }
    if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

std::string shown_name(const std::string& name) {
    std::string shown;
    shown.reserve(name.size());
    for (size_t i = 0; i < name.size();) {
        const size_t length = utf8_sequence_length(name, i);
        if (length == 0) {
            ++i;
        } else {
            shown.append(name, i, length);
            i += length;
        }
    }
    return shown;
}

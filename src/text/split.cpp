#include "text/split.h"

#include "text/text_utils.h"

namespace {

bool is_argument_space(char c) {
    return c == '\0' || c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

// A backslash is an ordinary character of a file name here.
bool is_path_separator(char c) { return c == '/'; }

// Position of the last separator, searching from the second-to-last
// character (a trailing separator never counts), or npos.
size_t last_inner_separator(const std::string& path) {
    for (size_t i = path.size() - 1; i-- > 0;) {
        if (is_path_separator(path[i])) {
            return i;
        }
    }
    return std::string::npos;
}

template <bool KeepEmpty>
void split_pieces(const std::string& text, char delimiter, std::vector<std::string>& list) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(delimiter, start);
        if (end == std::string::npos) {
            end = text.size();
        }
        if (KeepEmpty || end > start) {
            list.emplace_back(text, start, end - start);
        }
        start = end + 1;
    }
}

}  // namespace

void split_into(const std::string& text, char delimiter, std::vector<std::string>& list) {
    // The loop ends at the text's end, so a trailing delimiter adds no empty
    // piece while leading and doubled delimiters do.
    split_pieces<true>(text, delimiter, list);
}

std::vector<std::string> split(const std::string& text, char delimiter) {
    std::vector<std::string> list;
    split_into(text, delimiter, list);
    return list;
}

void split_nonempty_into(const std::string& text, char delimiter, std::vector<std::string>& list) {
    split_pieces<false>(text, delimiter, list);
}

std::vector<std::string> split_nonempty(const std::string& text, char delimiter) {
    std::vector<std::string> list;
    split_nonempty_into(text, delimiter, list);
    return list;
}

void split_by_string(const std::string& text, const std::string& separator, std::vector<std::string>& list) {
    list.clear();
    if (separator.empty()) {
        list.push_back(text);
        return;
    }
    size_t found = text.find(separator);
    if (found == std::string::npos) {
        list.push_back(text);
        return;
    }
    // A leading separator yields no empty first piece; a trailing one yields
    // an empty last piece.
    if (found != 0) {
        list.emplace_back(text, 0, found);
    }
    size_t start = found + separator.size();
    while ((found = text.find(separator, start)) != std::string::npos) {
        list.emplace_back(text, start, found - start);
        start = found + separator.size();
    }
    list.emplace_back(text, start, std::string::npos);
}

std::string extract_first_argument(const std::string& text) {
    size_t open = text.find('(');
    if (open == std::string::npos) {
        return "?";
    }
    // The argument ends at the first "," or ")" after the "(".
    size_t close = text.find_first_of(",)", open + 1);
    if (close == std::string::npos) {
        return "?";
    }
    std::string argument;
    for (size_t i = open + 1; i < close; ++i) {
        if (!is_argument_space(text[i])) {
            argument.push_back(text[i]);
        }
    }
    return argument.empty() ? std::string("?") : argument;
}

std::string extract_file_name(const std::string& path) {
    if (path.size() < 2) {
        return shown_name(path);
    }
    size_t p = last_inner_separator(path);
    return shown_name(p == std::string::npos ? path : path.substr(p + 1));
}

std::string extract_directory(const std::string& path) {
    if (path.size() < 2) {
        return path;
    }
    size_t p = last_inner_separator(path);
    return p == std::string::npos ? path : path.substr(0, p + 1);
}

std::vector<uint8_t> classify_characters(const std::string& text) {
    enum State { CODE, STRING, CHARACTER, LINE_COMMENT, BLOCK_COMMENT };
    std::vector<uint8_t> classes(text.size(), CHAR_CODE);
    State state = CODE;
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        const char c = text[i];
        const bool has_next = i + 1 < n;
        switch (state) {
            case CODE:
                if (c == '"') {
                    classes[i] = CHAR_LITERAL;
                    state = STRING;
                } else if (c == '\'') {
                    classes[i] = CHAR_LITERAL;
                    state = CHARACTER;
                } else if (c == '/' && has_next && (text[i + 1] == '/' || text[i + 1] == '*')) {
                    classes[i] = CHAR_COMMENT;
                    classes[i + 1] = CHAR_COMMENT;
                    state = text[i + 1] == '/' ? LINE_COMMENT : BLOCK_COMMENT;
                    ++i;
                }
                break;
            case STRING:
            case CHARACTER: {
                classes[i] = CHAR_LITERAL;
                const char close = state == STRING ? '"' : '\'';
                if (c == close || c == '\n') {
                    state = CODE;
                } else if (c == '\\' && has_next) {
                    classes[i + 1] = CHAR_LITERAL;
                    ++i;
                }
                break;
            }
            case LINE_COMMENT:
                classes[i] = CHAR_COMMENT;
                if (c == '\n') state = CODE;
                break;
            case BLOCK_COMMENT:
                classes[i] = CHAR_COMMENT;
                if (c == '*' && has_next && text[i + 1] == '/') {
                    classes[i + 1] = CHAR_COMMENT;
                    state = CODE;
                    ++i;
                }
                break;
        }
    }
    return classes;
}

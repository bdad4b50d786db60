#include "platform/date_texts.h"

#include "text/text_utils.h"

namespace {

std::string two_digits(int32_t value) {
    return value < 10 ? concat2("0", int_to_text(value)) : int_to_text(value);
}

std::string date_digits(int32_t year, int32_t month, int32_t day, const std::string& separator) {
    if (year < 0 || month < 0 || day < 0) return "";
    return concat5(int_to_text(year), separator, two_digits(month), separator, two_digits(day));
}

std::string time_digits(int32_t hour, int32_t minute, int32_t second, const std::string& separator) {
    if (hour < 0 || minute < 0 || second < 0) return "";
    return concat5(two_digits(hour), separator, two_digits(minute), separator, two_digits(second));
}

}  // namespace

std::string format_date_text(int32_t year, int32_t month, int32_t day) {
    return date_digits(year, month, day, "-");
}

std::string format_time_text(int32_t hour, int32_t minute, int32_t second) {
    return time_digits(hour, minute, second, ":");
}

std::string format_date_time_stamp(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                                   int32_t second) {
    std::string date = date_digits(year, month, day, "");
    if (date.empty()) return "";
    return concat2(date, time_digits(hour, minute, second, ""));
}

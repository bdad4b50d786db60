#pragma once
#include <cstdint>
#include <string>

// Local date and time as the texts the program shows and puts in file
// names. Components come from the caller (the services read GLib's local
// clock); a negative component means the clock could not give it.

// "2024-02-05": month and day with a leading "0" below 10; the year as a
// plain decimal number. Empty when a component is negative.
std::string format_date_text(int32_t year, int32_t month, int32_t day);
// "09:05:07". Empty when a component is negative.
std::string format_time_text(int32_t hour, int32_t minute, int32_t second);
// "20240205090507": the date and time without separators. Empty when the
// date fails; only the date part when the time fails.
std::string format_date_time_stamp(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                                   int32_t second);

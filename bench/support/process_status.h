#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

// A "kB" field of /proc/self/status ("VmRSS:", "VmHWM:") in KiB, 0 when
// unreadable.
inline int64_t status_kib(const char* field) {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return 0;
    char line[256];
    int64_t kib = 0;
    const size_t n = std::strlen(field);
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, field, n) == 0) kib = std::atoll(line + n);
    }
    std::fclose(f);
    return kib;
}

// User plus system CPU seconds of this process so far, from
// /proc/self/stat (fields 14 and 15, counted after the name's closing
// parenthesis, which may itself hold blanks); 0 when unreadable.
inline double process_cpu_seconds() {
    std::FILE* f = std::fopen("/proc/self/stat", "r");
    if (!f) return 0.0;
    char text[1024];
    const size_t n = std::fread(text, 1, sizeof text - 1, f);
    std::fclose(f);
    text[n] = 0;
    const char* p = std::strrchr(text, ')');
    if (!p) return 0.0;
    long long user = 0, system = 0;
    // After ") ": state is field 3, utime field 14, stime field 15.
    if (std::sscanf(p + 2, "%*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %lld %lld", &user, &system) != 2) return 0.0;
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

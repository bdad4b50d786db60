#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

#pragma once
// The software GL driver allocates a few records once, while it loads (its
// CPU detection on some processors) and on its first draw, and keeps them
// until exit. It is unloaded before the leak check runs, so a suppression
// cannot name it; in sanitizer builds those two steps run inside this scope
// instead, with leak checking paused on this thread only. Nothing of ours
// allocates there, and every later allocation is checked as usual.
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
struct DriverSetupScope {
    DriverSetupScope() { __lsan_disable(); }
    ~DriverSetupScope() { __lsan_enable(); }
    DriverSetupScope(const DriverSetupScope&) = delete;
    DriverSetupScope& operator=(const DriverSetupScope&) = delete;
};
#else
struct DriverSetupScope {
    DriverSetupScope() {}
};
#endif

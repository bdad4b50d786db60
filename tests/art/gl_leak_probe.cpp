// Leaks on purpose while a GL context is current, for the test that checks
// that pausing leak checks for the GL driver's set-up hides nothing of ours. Exits 2
// when no context can be made.
#include <cstdio>
#include <cstring>

#include "harness/glx_context.h"

// Not inlined, so the report names it.
__attribute__((noinline)) static char* leak_with_context_current() {
    char* lost = new char[4242];
    std::memset(lost, 1, 4242);
    return lost;
}

static char* volatile keep;

int main() {
    GlxContext gl;
    if (!gl.open()) {
        std::fputs("no GL context\n", stderr);
        return 2;
    }
    glClear(GL_COLOR_BUFFER_BIT);
    keep = leak_with_context_current();
    keep = nullptr;
    std::puts("leaked");
    return 0;
}

// Preloaded into a program (LD_PRELOAD) to count its buffer swaps: every
// glXSwapBuffers adds one to a 64-bit counter at the start of the file that
// VK_SWAP_COUNTER names (created or reset by whoever reads it). One swap is
// one frame shown, however many windows the program nests its drawable in,
// so the same count holds for a GL child window and a top-level one.
// The constructor takes both variables out of the environment, so the
// programs this one starts (the inspector's kernel) run unobserved.
#include <GL/glx.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

using SwapFn = void (*)(Display*, GLXDrawable);
using ProcFn = void (*(*)(const GLubyte*))();

uint64_t* counter = nullptr;

__attribute__((constructor)) void open_counter() {
    const char* path = std::getenv("VK_SWAP_COUNTER");
    if (path && *path) {
        const int fd = open(path, O_RDWR | O_CLOEXEC);
        if (fd >= 0) {
            if (ftruncate(fd, sizeof(uint64_t)) == 0) {
                void* p = mmap(nullptr, sizeof(uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
                if (p != MAP_FAILED) counter = static_cast<uint64_t*>(p);
            }
            close(fd);
        }
    }
    unsetenv("VK_SWAP_COUNTER");
    unsetenv("LD_PRELOAD");
}

SwapFn real_swap() {
    static const SwapFn fn = reinterpret_cast<SwapFn>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    return fn;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) void glXSwapBuffers(Display* display, GLXDrawable drawable) {
    if (const SwapFn fn = real_swap()) fn(display, drawable);
    if (counter) __atomic_add_fetch(counter, 1, __ATOMIC_RELAXED);
}

// A program that looks the swap up by name gets the counting one as well.
__attribute__((visibility("default"))) __GLXextFuncPtr glXGetProcAddressARB(const GLubyte* name) {
    if (name && std::strcmp(reinterpret_cast<const char*>(name), "glXSwapBuffers") == 0) {
        return reinterpret_cast<__GLXextFuncPtr>(&glXSwapBuffers);
    }
    static const ProcFn fn = reinterpret_cast<ProcFn>(dlsym(RTLD_NEXT, "glXGetProcAddressARB"));
    return fn ? fn(name) : nullptr;
}

__attribute__((visibility("default"))) __GLXextFuncPtr glXGetProcAddress(const GLubyte* name) {
    return glXGetProcAddressARB(name);
}

}  // extern "C"

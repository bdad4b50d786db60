// The bundled stand-in kernel: a small script language of our own, enough to
// drive every pipeline step of the inspector. It is not the real kernel.
#include <malloc.h>
#include <sys/mman.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "run/kernel_run.h"

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// A million-triangle mesh is over a hundred MB of arrays, each written once
// and freed at exit: most of the run would go to 4 KiB page faults. Large
// blocks ask for transparent huge pages (where the system grants them on
// request); small ones stay as they are. The blocks still come from malloc,
// so the library's delete (free) matches.
void* operator new(std::size_t size) {
    constexpr std::size_t kHuge = std::size_t(2) << 20;
    if (size == 0) size = 1;
    for (;;) {
        if (void* p = std::malloc(size)) {
            if (size >= kHuge / 2) {
                // The whole huge pages the block touches: its neighbours are
                // heap blocks too (see main).
                const std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(p) & ~(kHuge - 1);
                const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(p) + size + kHuge - 1) & ~(kHuge - 1);
                madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
            }
            return p;
        }
        const std::new_handler handler = std::get_new_handler();
        if (!handler) throw std::bad_alloc();
        handler();
    }
}
void* operator new[](std::size_t size) { return operator new(size); }
#endif

int main(int argc, char** argv) {
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    // Large blocks from the one heap, never handed back before exit: the
    // advised ranges of neighbouring blocks join into whole huge pages, and
    // a block freed early (the edge tables) is reused without new faults.
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_TOP_PAD, 16 << 20);
#endif
    std::vector<std::string> args(argv + 1, argv + argc);
    KernelRun run = run_kernel(args);
    std::fwrite(run.out.data(), 1, run.out.size(), stdout);
    std::fwrite(run.err.data(), 1, run.err.size(), stderr);
    return run.exit_code;
}

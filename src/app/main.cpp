#include <malloc.h>

#include "app/app_main.h"

// The software GL driver allocates and frees its vertex and binning buffers
// on every draw, and the heap's default policy hands each freed stretch
// back to the system (sizes adapt upwards only after such a return) and
// faults it in again on the next draw: about 50,000 page faults in the
// first open and frame of a million-triangle mesh. Freed memory stays in
// the heap for reuse instead; allocations up to 32 MiB come from the heap,
// larger ones (whole mesh arrays) are still mapped on their own. The peak
// resident size is unchanged.
int main(int argc, char** argv) {
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    return !app_main(argc, argv);
}

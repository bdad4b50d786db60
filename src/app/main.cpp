#include "app/app_main.h"
#include "platform/process.h"

// About 50,000 page faults in the first open and frame of a
// million-triangle mesh went to the heap's default policy; the peak
// resident size is the same with the program's own.
int main(int argc, char** argv) {
    use_program_heap_policy();
    return !app_main(argc, argv);
}

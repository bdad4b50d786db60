// Watches a program from outside while a command runs, for the side-by-side
// comparison script:
//   x_watch frames COUNTER -- COMMAND...
//     counts the buffer swaps of the program that swap_count.so is preloaded
//     into (COUNTER is its VK_SWAP_COUNTER file) while COMMAND runs; prints
//     "frames N seconds S fps F".
//   x_watch pixel WINDOW X Y
//     prints the pixel at (X, Y) of the window as RRGGBB.
//   x_watch match WINDOW X Y RRGGBB TIMEOUT_MS -- COMMAND...
//     starts COMMAND and waits until the pixel at (X, Y) is within 12 of
//     RRGGBB in each channel; prints "ms T" (or "ms -1" at the timeout).
// Pixels are read from the root window, so child windows (a GL area inside
// a toolkit window) count as what is on screen.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

pid_t start(char** argv) {
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[0], argv);
        _exit(127);
    }
    return pid;
}

// The swap count so far, 0 while the program has not yet sized the file.
uint64_t swaps_in(int fd) {
    uint64_t n = 0;
    return pread(fd, &n, sizeof n, 0) == static_cast<ssize_t>(sizeof n) ? n : 0;
}

int count_frames(const char* counter, char** command) {
    const int fd = open(counter, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(stderr, "x_watch: cannot read %s\n", counter);
        return 1;
    }
    const uint64_t before = swaps_in(fd);
    const auto t0 = Clock::now();
    const pid_t pid = start(command);
    int status = 0;
    waitpid(pid, &status, 0);
    const double s = seconds_since(t0);
    const uint64_t frames = swaps_in(fd) - before;
    close(fd);
    std::printf("frames %llu seconds %.3f fps %.2f\n", static_cast<unsigned long long>(frames), s,
                s > 0 ? static_cast<double>(frames) / s : 0.0);
    return 0;
}

unsigned long pixel_at(Display* d, int x, int y) {
    XImage* image = XGetImage(d, DefaultRootWindow(d), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return ~0ul;
    const unsigned long p = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return p;
}

unsigned long root_pixel(Display* d, Window w, int x, int y) {
    int rx = 0, ry = 0;
    Window child = 0;
    XTranslateCoordinates(d, w, DefaultRootWindow(d), x, y, &rx, &ry, &child);
    return pixel_at(d, rx, ry);
}

bool near(unsigned long a, unsigned long b) {
    for (int shift = 0; shift < 24; shift += 8) {
        const long ca = static_cast<long>((a >> shift) & 255), cb = static_cast<long>((b >> shift) & 255);
        if (std::labs(ca - cb) > 12) return false;
    }
    return true;
}

int wait_for_match(Display* d, Window w, int x, int y, unsigned long target, int timeout_ms, char** command) {
    const auto t0 = Clock::now();
    const pid_t pid = start(command);
    double ms = -1;
    while (seconds_since(t0) * 1000.0 < timeout_ms) {
        if (near(root_pixel(d, w, x, y), target)) {
            ms = seconds_since(t0) * 1000.0;
            break;
        }
        usleep(2000);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    std::printf("ms %.1f\n", ms);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int dash = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            dash = i;
            break;
        }
    }
    const bool pixel = argc == 5 && std::strcmp(argv[1], "pixel") == 0;
    if (!pixel && (argc < 3 || dash == 0 || dash + 1 >= argc)) {
        std::fprintf(stderr,
                     "usage: x_watch frames COUNTER -- COMMAND... | pixel WINDOW X Y |"
                     " match WINDOW X Y RRGGBB TIMEOUT_MS -- COMMAND...\n");
        return 2;
    }
    if (std::strcmp(argv[1], "frames") == 0) {
        return dash == 3 ? count_frames(argv[2], argv + dash + 1) : 2;
    }
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "x_watch: no display\n");
        return 1;
    }
    const Window w = static_cast<Window>(std::strtoul(argv[2], nullptr, 0));
    char** command = dash ? argv + dash + 1 : nullptr;
    const std::string mode = argv[1];
    int rc = 2;
    if (pixel) {
        std::printf("%06lx\n", root_pixel(d, w, std::atoi(argv[3]), std::atoi(argv[4])) & 0xFFFFFFul);
        rc = 0;
    } else if (mode == "match" && dash == 7) {
        rc = wait_for_match(d, w, std::atoi(argv[3]), std::atoi(argv[4]), std::strtoul(argv[5], nullptr, 16),
                            std::atoi(argv[6]), command);
    }
    XCloseDisplay(d);
    return rc;
}

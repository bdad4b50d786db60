// Watches one top-level X window from outside while a command runs, for
// the side-by-side comparison script:
//   x_watch frames WINDOW -- COMMAND...
//     counts the frames the window shows (damage of at least a quarter of
//     its area) while COMMAND runs; prints "frames N seconds S fps F".
//   x_watch pixel WINDOW X Y
//     prints the pixel at (X, Y) of the window as RRGGBB.
//   x_watch match WINDOW X Y RRGGBB TIMEOUT_MS -- COMMAND...
//     starts COMMAND and waits until the pixel at (X, Y) is within 12 of
//     RRGGBB in each channel; prints "ms T" (or "ms -1" at the timeout).
// Pixels are read from the root window, so child windows (a GL area inside
// a toolkit window) count as what is on screen.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

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

bool finished(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == pid;
}

// Damage of the window and every window below it.
void watch_tree(Display* d, Window w, std::vector<Damage>& out) {
    out.push_back(XDamageCreate(d, w, XDamageReportRawRectangles));
    Window root = 0, parent = 0, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &n)) return;
    for (unsigned i = 0; i < n; ++i) watch_tree(d, children[i], out);
    if (children) XFree(children);
}

int count_frames(Display* d, Window w, char** command) {
    int event_base = 0, error_base = 0;
    if (!XDamageQueryExtension(d, &event_base, &error_base)) {
        std::fprintf(stderr, "x_watch: no damage extension\n");
        return 1;
    }
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, w, &a)) return 1;
    const long quarter = static_cast<long>(a.width) * a.height / 4;
    std::vector<Damage> damages;
    watch_tree(d, w, damages);
    XSync(d, False);
    while (XPending(d)) {  // what was drawn before the start
        XEvent e;
        XNextEvent(d, &e);
    }
    const auto t0 = Clock::now();
    const pid_t pid = start(command);
    long frames = 0;
    bool done = false;
    while (!done) {
        done = finished(pid);
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type != event_base + XDamageNotify) continue;
            const auto* n = reinterpret_cast<XDamageNotifyEvent*>(&e);
            if (static_cast<long>(n->area.width) * n->area.height >= quarter) ++frames;
        }
        if (!done) usleep(1000);
    }
    const double s = seconds_since(t0);
    std::printf("frames %ld seconds %.3f fps %.2f\n", frames, s, s > 0 ? static_cast<double>(frames) / s : 0.0);
    for (Damage g : damages) XDamageDestroy(d, g);
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
                     "usage: x_watch frames WINDOW -- COMMAND... | pixel WINDOW X Y |"
                     " match WINDOW X Y RRGGBB TIMEOUT_MS -- COMMAND...\n");
        return 2;
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
    if (mode == "frames" && dash == 3) {
        rc = count_frames(d, w, command);
    } else if (pixel) {
        std::printf("%06lx\n", root_pixel(d, w, std::atoi(argv[3]), std::atoi(argv[4])) & 0xFFFFFFul);
        rc = 0;
    } else if (mode == "match" && dash == 7) {
        rc = wait_for_match(d, w, std::atoi(argv[3]), std::atoi(argv[4]), std::strtoul(argv[5], nullptr, 16),
                            std::atoi(argv[6]), command);
    }
    XCloseDisplay(d);
    return rc;
}

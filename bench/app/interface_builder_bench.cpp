#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "app/app_context.h"
#include "app/interface_builder.h"
#include "model/environment.h"
#include "ui/element.h"

namespace {

size_t count_elements(const Element& e) {
    size_t n = 1;
    if (e.is_container)
        for (const Element* child : static_cast<const Container&>(e).children) n += count_elements(*child);
    return n;
}

// The whole interface built once on a fresh context (the context's own
// construction and teardown are outside the timing).
void BM_BuildUserInterface(benchmark::State& state) {
    std::fflush(stdout);
    const int saved = dup(1);
    const int null_fd = open("/dev/null", O_WRONLY);
    dup2(null_fd, 1);
    size_t elements = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<AppContext> app = make_app_context();
        state.ResumeTiming();
        build_user_interface(*app);
        state.PauseTiming();
        elements = count_elements(*app);
        app.reset();
        reset_environment_counter();
        state.ResumeTiming();
    }
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    close(null_fd);
    state.counters["elements"] = static_cast<double>(elements);
}
BENCHMARK(BM_BuildUserInterface)->Unit(benchmark::kMillisecond);

}  // namespace

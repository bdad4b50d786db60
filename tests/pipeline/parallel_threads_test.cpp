// Worker threads under load: a kernel that sleeps a random few milliseconds
// and logs when it ran. Also built with ThreadSanitizer.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <sstream>

#include "pipeline_test_support.h"

namespace {

std::vector<SubElementSource> numbered(int n) {
    std::vector<SubElementSource> sources;
    for (int i = 0; i < n; ++i) sources.push_back({"e" + std::to_string(i), "E" + std::to_string(i)});
    return sources;
}

// Most kernel runs alive at one moment, and how many runs were logged.
std::pair<int, int> peak_overlap(const FakeKernel& k) {
    std::vector<std::pair<long long, int>> events;
    std::istringstream in(read_file(k.log + "times"));
    long long start = 0, end = 0;
    while (in >> start >> end) events.insert(events.end(), {{start, 1}, {end, -1}});
    std::sort(events.begin(), events.end());  // an end sorts before a start at the same time
    int alive = 0, peak = 0;
    for (const auto& e : events) peak = std::max(peak, alive += e.second);
    write_text_file(k.log + "times", "");
    return {peak, static_cast<int>(events.size() / 2)};
}

struct ParallelThreads : FakeKernelTest {
    ParallelThreads() {
        replace_kernel("sleep $(printf '0.%03d' $(( $(od -An -N1 -tu1 /dev/urandom) % 16 + 2 )))", true);
        k.meshes("mesh_1", {1});
    }
};

}  // namespace

TEST_F(ParallelThreads, PerElementStaysWithinTheClampedLimitAndAssemblesEverySelectedElement) {
    std::vector<SubElementSource> sources = numbered(12);
    sources[5][1] = "";
    std::vector<bool> selection(12, true);
    selection[7] = false;
    for (int limit : {-5, 0, 1, 3, 8}) {
        SCOPED_TRACE(limit);
        parallel_core_limit = limit;
        testing::internal::CaptureStdout();
        std::vector<InteropMesh*> r = assemble_elements_threaded(sources, selection, false, false, 2);
        EXPECT_EQ(testing::internal::GetCapturedStdout().find("INDEX-GRAB-ISSUE"), std::string::npos);
        for (int i = 0; i < 12; ++i)
            EXPECT_EQ(r[i] ? r[i]->element_source : "none", i != 5 && i != 7 ? sources[i][1] : "none") << i;
        const std::pair<int, int> o = peak_overlap(k);
        EXPECT_LE(o.first, std::max(limit, 1));
        EXPECT_EQ(o.second, 10);
        EXPECT_EQ(parallel_job_table.running_count.load(), 0);
        free_interop_meshes(r);
    }
    parallel_core_limit = 64;
    EXPECT_EQ(effective_core_limit(), 8);
}

TEST_F(ParallelThreads, PerBatchStaysWithinTheLimitAndAMissingKernelGivesNulls) {
    k.meshes("mesh_3", {1, 2, 3});
    parallel_core_limit = 3;
    std::vector<InteropMesh*> r =
        assemble_batches_threaded(numbered(12), {{0, 1, 2}, {3, 4, 5}, {6, 7, 8}, {9, 10, 11}}, false, false, 2);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(mesh_tag(r[i]), double(i % 3 + 1)) << i;
    const std::pair<int, int> o = peak_overlap(k);
    EXPECT_LE(o.first, 3);
    EXPECT_EQ(o.second, 4);
    EXPECT_EQ(parallel_job_table.running_count.load(), 0);
    free_interop_meshes(r);

    set_kernel_path(k.root + "/no/such/vrek");
    EXPECT_EQ(assemble_elements_threaded(numbered(12), {}, true, true, 2), std::vector<InteropMesh*>(12, nullptr));
    EXPECT_EQ(assemble_batches_threaded(numbered(4), {{0, 1}, {2, 3}}, false, false, 2),
              std::vector<InteropMesh*>(4, nullptr));
    EXPECT_EQ(parallel_job_table.running_count.load(), 0);
}

TEST_F(ParallelThreads, LongRunsDoOverlapUpToTheLimit) {
    replace_kernel("sleep 0.1", true);
    k.meshes("mesh_1", {1});
    parallel_core_limit = 4;
    std::vector<InteropMesh*> r = assemble_elements_threaded(numbered(8), {}, false, false, 2);
    EXPECT_EQ(std::count(r.begin(), r.end(), nullptr), 0);
    const std::pair<int, int> o = peak_overlap(k);
    EXPECT_GE(o.first, 2);
    EXPECT_LE(o.first, 4);
    free_interop_meshes(r);
}

// A cancel asked for while the workers run ends every running kernel and
// starts no further one; nothing of the run is kept. The kernels closed
// their output first, so only their ends tell the workers they are done.
TEST_F(ParallelThreads, ACancelEndsTheRunningKernelsAndStartsNoMore) {
    replace_kernel("exec >/dev/null 2>&1; sleep 30", true);
    k.meshes("mesh_1", {1});
    parallel_core_limit = 2;
    static int pumps;
    pumps = 0;
    kernel_wait_pump = [] { return ++pumps >= 40; };
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(assemble_elements_threaded(numbered(6), {}, false, false, 2), std::vector<InteropMesh*>(6, nullptr));
    EXPECT_TRUE(kernel_cancel_requested.load());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(parallel_job_table.running_count.load(), 0);
    EXPECT_FALSE(k.ran("vrek_assemble_in_sub_2"));  // only the first two started
    kernel_wait_pump = nullptr;
}

// An element whose kernel failed and said why has no mesh; its message
// names the element.
TEST_F(ParallelThreads, AnElementWhoseKernelFailsGivesItsMessage) {
    replace_kernel("cp \"$D/fixtures/mesh_1\" \"$4\"; [ \"$name\" = vrek_assemble_in_sub_1 ] && "
                   "{ echo 'vrek: element 0: CALL-DEPTH-EXCEEDED' >&2; exit 1; }; true");
    k.meshes("mesh_1", {1});
    std::vector<InteropMesh*> r = assemble_elements_threaded(numbered(3), {}, false, false, 2);
    EXPECT_EQ(tags(r), (std::vector<double>{1, -1, 1}));
    EXPECT_EQ(kernel_error_report, "// E:" + subelement_reference(numbered(3)[1]) +
                                       "\nvrek: element 0: CALL-DEPTH-EXCEEDED\n");
    free_interop_meshes(r);
}

// Elements whose kernels were killed or could not start give nothing, and
// the reason per element.
TEST_F(ParallelThreads, KilledOrMissingKernelsSayWhyPerElement) {
    replace_kernel("kill -SEGV $$");
    EXPECT_EQ(assemble_elements_threaded(numbered(2), {}, false, false, 2), std::vector<InteropMesh*>(2, nullptr));
    const std::string first = subelement_reference(numbered(2)[0]), second = subelement_reference(numbered(2)[1]);
    EXPECT_EQ(kernel_error_report, "// E:" + first + "\nkernel ended by signal 11\n// E:" + second +
                                       "\nkernel ended by signal 11\n");
    const std::string missing = k.root + "/no/such/vrek";
    set_kernel_path(missing);
    EXPECT_EQ(assemble_batches_threaded(numbered(2), {{0, 1}}, false, false, 2), std::vector<InteropMesh*>(2, nullptr));
    EXPECT_EQ(kernel_error_report, "// E:" + first + "\n// E:" + second + "\nkernel could not be started: '" + missing +
                                       "' does not exist\n");
}

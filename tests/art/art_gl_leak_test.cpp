// Leak checking pauses while the GL driver sets itself up: a leak of our own
// made while a context is current must still be reported.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/process.h"

TEST(GlLeakCheck, OwnLeakWithAContextCurrentIsStillReported) {
    const std::string binary = std::getenv("VK_BINARY_DIR");
    setenv("LSAN_OPTIONS", "exitcode=23", 1);
    setenv("ASAN_OPTIONS", "detect_leaks=1", 1);
    ProcessEnd end;
    const std::string out = run_process_capture(binary + "/tests/art/gl_leak_probe", {}, end);
    ASSERT_NE(out.find("leaked"), std::string::npos) << out;
    EXPECT_NE(out.find("LeakSanitizer: detected memory leaks"), std::string::npos) << out;
    EXPECT_NE(out.find("leak of 4242 byte(s)"), std::string::npos) << out;
    EXPECT_NE(out.find("leak_with_context_current"), std::string::npos) << out;
    EXPECT_FALSE(end.signalled);
    EXPECT_EQ(end.code, 23);
}

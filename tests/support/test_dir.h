#pragma once
// A fresh directory for the files of one test, under
// ${VK_BINARY_DIR}/test-output (else /tmp), removed with everything in it
// when the owner goes out of scope, also after a failed assertion.
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <system_error>

class TestDir {
public:
    explicit TestDir(const char* stem) {
        const char* binary = getenv("VK_BINARY_DIR");
        std::string dir = binary && *binary ? std::string(binary) + "/test-output" : "/tmp";
        mkdir(dir.c_str(), 0755);  // may exist already
        dir += "/" + std::string(stem) + "_XXXXXX";
        if (mkdtemp(&dir[0])) path_ = dir;
    }
    ~TestDir() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    TestDir(const TestDir&) = delete;
    TestDir& operator=(const TestDir&) = delete;
    // Empty when the directory could not be made.
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

#include "platform/files.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void report_read_failure(const std::string& path) {
    std::string message = "Error Parsing File : " + path + " : Failed To Read File Data.\n";
    std::fwrite(message.data(), 1, message.size(), stdout);
    std::fflush(stdout);
}

}  // namespace

std::string read_file(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        report_read_failure(path);
        return std::string();
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        close(fd);
        report_read_failure(path);
        return std::string();
    }
    std::string content;
    if (S_ISREG(info.st_mode) && info.st_size > 0) {
        content.resize(static_cast<size_t>(info.st_size));
    }
    // Read until the end even when the size changed after the stat (or the
    // file reports no size, as /proc files do).
    size_t used = 0;
    bool failed = false;
    for (;;) {
        if (used == content.size()) {
            content.resize(content.size() < 4096 ? 4096 : content.size() * 2);
        }
        ssize_t n = read(fd, &content[used], content.size() - used);
        if (n > 0) {
            used += static_cast<size_t>(n);
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            failed = true;
            break;
        }
    }
    close(fd);
    if (failed) {
        report_read_failure(path);
        return std::string();
    }
    content.resize(used);
    return content;
}

bool write_text_file(const std::string& path, const std::string& text) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    size_t written = 0;
    bool ok = true;
    while (written < text.size()) {
        ssize_t n = write(fd, text.data() + written, text.size() - written);
        if (n > 0) {
            written += static_cast<size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            ok = false;
            break;
        }
    }
    // A failed close can be the first report of a failed write (NFS, quota).
    if (close(fd) != 0) {
        ok = false;
    }
    return ok;
}

bool path_exists(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    close(fd);
    return true;
}

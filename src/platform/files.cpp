#include "platform/files.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/termination.h"
#include "text/text_utils.h"

namespace {

void report_read_failure(const std::string& path) {
    std::string message = "Error Parsing File : " + path + " : Failed To Read File Data.\n";
    std::fwrite(message.data(), 1, message.size(), stdout);
    std::fflush(stdout);
}

// strerror_r: workers read and write files at the same time.
std::string errno_text(int code) {
    char buffer[128];
    return strerror_r(code, buffer, sizeof buffer);
}

// Opens the file for reading without ever waiting: a FIFO (or a link to
// one) would otherwise block in open() until a writer comes. -1 and the
// reason when it is not a regular file of at most `limit` bytes.
int open_regular_file(const std::string& path, size_t limit, struct stat& info, std::string& error) {
    // A device is refused before it is opened: opening some has effects.
    if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        error = "not a regular file";
        return -1;
    }
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno_text(errno);
        return -1;
    }
    if (fstat(fd, &info) != 0) {
        error = errno_text(errno);
    } else if (!S_ISREG(info.st_mode)) {
        error = "not a regular file";
    } else if (static_cast<uint64_t>(info.st_size) > limit) {
        error = larger_than_text(limit);
    } else {
        return fd;
    }
    close(fd);
    return -1;
}

// The name of every temporary replacement file: ".vrekform-tmp-" and the
// process id and a serial number, each zero-padded to ten digits.
constexpr char temporary_name_prefix[] = ".vrekform-tmp-";
constexpr size_t temporary_name_length = sizeof temporary_name_prefix - 1 + 10 + 1 + 10;

std::string temporary_file_name(long pid, uint32_t serial) {
    return concat4(temporary_name_prefix, pad_left(long_to_text(pid), 10, '0'), "-",
                   pad_left(long_to_text(serial), 10, '0'));
}

}  // namespace

bool write_all_bytes(int fd, const char* data, size_t size, int& code) {
    size_t written = 0;
    while (written < size) {
        // A long write on the window's thread must not outlast a request
        // to end: its file is already gone, the rest would be lost work.
        if (termination_signal() != 0) {
            code = ECANCELED;
            return false;
        }
        // At most 1 MiB a call, so that the flag is seen between calls; a
        // larger call has the file system take its cache in 2 MiB blocks,
        // which a virtual machine that returns free memory to its host
        // faults in afresh, many times slower.
        const size_t chunk = std::min<size_t>(size - written, size_t(1) << 20);
        const ssize_t n = write(fd, data + written, chunk);
        if (n > 0) {
            written += static_cast<size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            code = n < 0 ? errno : EIO;
            return false;
        }
    }
    return true;
}

bool temporary_name_pid(const std::string& name, long& pid) {
    // Exactly the prefix, ten digits, "-" and ten digits: nothing a user
    // names a file, whatever the digits mean.
    const size_t prefix = sizeof temporary_name_prefix - 1;
    if (name.size() != temporary_name_length || name.compare(0, prefix, temporary_name_prefix) != 0 ||
        name[prefix + 10] != '-')
        return false;
    for (size_t i = prefix; i < name.size(); ++i)
        if (i != prefix + 10 && (name[i] < '0' || name[i] > '9')) return false;
    int64_t value = 0;
    std::from_chars(name.data() + prefix, name.data() + prefix + 10, value);
    if (value <= 0 || value > INT32_MAX) return false;  // no process has that id
    pid = static_cast<long>(value);
    return true;
}

void remove_stale_temporary_files(const std::string& folder) {
    DIR* listing = opendir(folder.empty() ? "." : folder.c_str());
    if (!listing) return;
    const long own = static_cast<long>(getpid());
    while (const dirent* entry = readdir(listing)) {
        long pid = 0;
        if (!temporary_name_pid(entry->d_name, pid) || pid == own) continue;
        // Only a process that does not exist: one we may not signal still runs.
        if (kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
        struct stat info;
        if (fstatat(dirfd(listing), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode) ||
            info.st_uid != geteuid())
            continue;
        unlinkat(dirfd(listing), entry->d_name, 0);
    }
    closedir(listing);
}

std::string larger_than_text(size_t limit) {
    return concat3("larger than ", long_to_text(static_cast<int64_t>(limit)), " bytes");
}

std::string regular_file_problem(const std::string& path, size_t limit) {
    struct stat info;
    std::string error;
    const int fd = open_regular_file(path, limit, info, error);
    if (fd >= 0) close(fd);
    return error;
}

FileText read_regular_file(const std::string& path, size_t limit) {
    FileText result;
    struct stat info;
    const int fd = open_regular_file(path, limit, info, result.error);
    if (fd < 0) return result;
    std::string& content = result.text;
    content.resize(static_cast<size_t>(info.st_size));
    // Read until the end even when the size changed after the stat (or the
    // file reports no size, as /proc files do), but never past the limit:
    // the buffer grows at most to `limit` bytes.
    size_t used = 0;
    for (;;) {
        if (used == content.size()) {
            if (used == limit) {
                char probe;
                ssize_t n;
                do n = read(fd, &probe, 1);
                while (n < 0 && errno == EINTR);
                if (n > 0) result.error = larger_than_text(limit);
                else if (n < 0) result.error = errno_text(errno);
                break;
            }
            const size_t grown = content.size() < 4096 ? 4096 : content.size() * 2;
            content.resize(grown < limit ? grown : limit);
        }
        const ssize_t n = read(fd, &content[used], content.size() - used);
        if (n > 0) {
            used += static_cast<size_t>(n);
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            result.error = errno_text(errno);
            break;
        }
    }
    close(fd);
    if (!result.error.empty()) {
        std::string().swap(content);
    } else {
        content.resize(used);
    }
    return result;
}

std::string read_file(const std::string& path) {
    FileText file = read_regular_file(path, max_read_file_bytes);
    if (!file.error.empty()) {
        report_read_failure(path);
        return std::string();
    }
    return std::move(file.text);
}

bool write_text_file(const std::string& path, const std::string& text) {
    // Replaced, never opened in place: a link planted at the name would
    // have the text written into whatever file it points at.
    std::string error;
    return replace_file(path, text, error);
}

bool replacement_open(ReplacementFile& file, const std::string& path, std::string& error) {
    static std::atomic<uint32_t> serial{0};
    file.path = path;
    // A device, FIFO or socket of that name is not a file to replace (and
    // a folder such as /dev is no place for a temporary file).
    struct stat existing;
    if (lstat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode) && !S_ISLNK(existing.st_mode)) {
        error = "not a regular file";
        return false;
    }
    int code = EEXIST;
    // Beside the target, so the final rename stays within one file system;
    // a dot name keeps it out of listings while it is written, and a name
    // of fixed length, not made from the target's, fits wherever the
    // target's name does.
    const std::string folder = path.substr(0, path.rfind('/') + 1);
    ignore_file_size_signal();
    remove_stale_temporary_files(folder);
    for (int attempt = 0; attempt < 100; ++attempt) {
        file.temporary_path = folder + temporary_file_name(getpid(), serial.fetch_add(1));
        // Guarded before it exists: a signal between the open and the guard
        // would leave it behind.
        file.guard = guard_temporary_file(file.temporary_path.c_str());
        file.fd = open(file.temporary_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (file.fd >= 0) return true;
        release_temporary_file(file.guard);
        file.guard = -1;
        code = errno;
        if (code != EEXIST) break;
    }
    error = errno_text(code);
    file.temporary_path.clear();
    return false;
}

bool name_taken(const std::string& path) {
    struct stat existing;
    return lstat(path.c_str(), &existing) == 0;
}

// Renames the finished file to a name that must still be free; 0 or the
// errno value (EEXIST when something stands there).
static int rename_without_replacing(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // A file system that cannot refuse in the rename itself: look first.
    if (name_taken(to)) return EEXIST;
    return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

bool replacement_commit(ReplacementFile& file, int write_error, std::string& error) {
    if (file.fd < 0) {
        if (error.empty()) error = "not open";
        return false;
    }
    int code = write_error;
    // A failed close can be the first report of a failed write (NFS, quota).
    if (close(file.fd) != 0 && code == 0) code = errno;
    file.fd = -1;
    if (code == 0 && file.keep_existing) {
        code = rename_without_replacing(file.temporary_path, file.path);
    } else if (code == 0 && rename(file.temporary_path.c_str(), file.path.c_str()) != 0) {
        code = errno;
    }
    if (code != 0) {
        unlink(file.temporary_path.c_str());
        error = errno_text(code);
    }
    release_temporary_file(file.guard);
    file.guard = -1;
    file.temporary_path.clear();
    return code == 0;
}

static bool write_whole_file(const std::string& path, const std::string& text, bool keep_existing,
                             std::string& error) {
    ReplacementFile file;
    file.keep_existing = keep_existing;
    if (!replacement_open(file, path, error)) return false;
    int code = 0;
    write_all_bytes(file.fd, text.data(), text.size(), code);
    return replacement_commit(file, code, error);
}

bool replace_file(const std::string& path, const std::string& text, std::string& error) {
    return write_whole_file(path, text, false, error);
}

bool create_new_file(const std::string& path, const std::string& text, std::string& error) {
    return write_whole_file(path, text, true, error);
}

bool path_exists(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    // Without O_NONBLOCK a FIFO would hold the caller until a writer came.
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    close(fd);
    return true;
}

#pragma once
#include <cstddef>
#include <string>

// The most read_file takes into memory. Scripts and kernel reports are far
// smaller; a link to a device or an endless file must not fill the memory.
constexpr size_t max_read_file_bytes = size_t(64) << 20;

// A file's bytes, or (error not empty) why it could not be read.
struct FileText {
    std::string text;
    std::string error;
};

// Reads a regular file (links followed) of at most `limit` bytes. Never
// waits on a FIFO and never holds more than `limit` bytes: a FIFO, a device
// or a directory gives "not a regular file", a larger file
// "larger than N bytes", other failures the system's reason.
FileText read_regular_file(const std::string& path, size_t limit);

// Why read_regular_file would refuse the path ("" when it would read it),
// found without reading the content.
std::string regular_file_problem(const std::string& path, size_t limit);

// "larger than N bytes".
std::string larger_than_text(size_t limit);

// The whole file, byte for byte (at most max_read_file_bytes); "" after a
// printed message when it cannot be read (missing, unreadable, not a
// regular file, too large).
std::string read_file(const std::string& path);

// The text as the whole new content of a fresh file at `path`, as
// replace_file writes it: whatever stood at that name (a link included) is
// replaced, never written through. True only when every byte was written
// and the file closed and renamed into place.
bool write_text_file(const std::string& path, const std::string& text);

// A file written under a temporary name beside its target and renamed into
// place only when every byte went out and it closed cleanly: a failed write
// leaves no partial file and any earlier file of that name untouched. The
// temporary name is ".vrekform-tmp-<pid>-<n>", both numbers ten digits,
// whatever the target's name (so any name the folder takes can be
// written); a signal that ends the process removes it
// (platform/termination.h).
struct ReplacementFile {
    int fd = -1;
    std::string path;
    std::string temporary_path;
    int guard = -1;
    // Set before the open: the commit never replaces what stands at the
    // target (a link included) but fails with "File exists".
    bool keep_existing = false;
};

// Creates the temporary file; false with the reason when it cannot. First
// removes from the folder the temporary files that processes no longer
// running left behind.
bool replacement_open(ReplacementFile& file, const std::string& path, std::string& error);
// Closes the file and renames it over the target when `write_error` (an
// errno value, 0 for none) and the close report no failure; otherwise
// removes the temporary file. False with the reason on failure.
bool replacement_commit(ReplacementFile& file, int write_error, std::string& error);

// The text as the whole new content of `path`, replaced as above.
bool replace_file(const std::string& path, const std::string& text, std::string& error);
// The text as a new file at `path`, written as above but never over
// anything that stands at that name: then "File exists", and it stays.
bool create_new_file(const std::string& path, const std::string& text, std::string& error);
// Whether anything stands at the path: a file, a folder, a link (also one
// that leads nowhere).
bool name_taken(const std::string& path);

// Writes every byte to the descriptor, going on after interruptions; false
// with the errno value in `code` when the system refuses, and ECANCELED
// when a signal asked the process to end (the write stops there).
bool write_all_bytes(int fd, const char* data, size_t size, int& code);

// Whether `name` (without folder) is exactly of the form of a temporary
// replacement name, and the process id it carries.
bool temporary_name_pid(const std::string& name, long& pid);
// Removes the temporary replacement files in `folder` (ending in '/') whose
// process no longer runs. Only regular files of this user with exactly that
// form of name are removed, never a file the user named.
void remove_stale_temporary_files(const std::string& folder);

// True when the path can be opened for reading (a file or a directory).
bool path_exists(const std::string& path);

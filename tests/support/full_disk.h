#pragma once
// A full disk for this process: while it lives, no file this process writes
// can grow beyond `bytes`. Needs no privileges and no mount; files written
// by child processes are not limited. SIGXFSZ is at its default (fatal)
// disposition meanwhile, as in a process started from a shell: the code
// under test must ignore it itself for the write to fail with EFBIG.
#include <sys/resource.h>

#include <csignal>

class FullDisk {
public:
    explicit FullDisk(rlim_t bytes) {
        previous_handler_ = std::signal(SIGXFSZ, SIG_DFL);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FullDisk() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previous_handler_);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    rlimit previous_{};
    void (*previous_handler_)(int) = nullptr;
};

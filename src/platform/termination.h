#pragma once
// How the process meets the signals that would otherwise end it at an
// arbitrary point: a file-size limit fails the write (EFBIG) instead of
// killing the session, and SIGTERM, SIGINT and SIGHUP end it as a close
// request does, after the handler has removed every temporary file the
// process has open. Everything the handler touches is async-signal-safe:
// a flag and a fixed table of paths.

// Ignores SIGXFSZ and catches SIGTERM, SIGINT and SIGHUP. A second signal
// of the kind already caught ends the process at once (after the same
// clean-up), so that a process stuck in a long step can still be stopped.
void install_termination_handling();

// Ignores SIGXFSZ: a write past a file-size limit then fails with EFBIG,
// as one on a full disk fails with ENOSPC. Every replacement file calls
// it too, so that no export, capture or report depends on how the
// process was started.
void ignore_file_size_signal();

// The signal that asked the process to end, 0 while none has.
int termination_signal();

// Enters a temporary file the handler removes should a signal arrive
// while it is open. Returns the slot, or -1 when the table is full or the
// path too long (the file is then written unguarded, as before).
int guard_temporary_file(const char* path);
// Takes the slot out of the table once its file was renamed or removed.
void release_temporary_file(int slot);

// For tests: forgets a caught signal and restores the default dispositions.
void reset_termination_for_tests();

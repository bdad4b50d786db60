#pragma once
// The log that tests' recording fakes write to, one entry per call ("name"
// or "name: detail"), shared by every fake so that a test sees the order of
// calls across panes and renderer.
#include <string>
#include <vector>

inline std::vector<std::string>& call_log() {
    static std::vector<std::string> log;
    return log;
}
inline void record_call(const std::string& entry) { call_log().push_back(entry); }
inline void reset_call_log() { call_log().clear(); }

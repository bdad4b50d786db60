#pragma once
// A process locale with a decimal comma for the duration of a test, built
// with localedef into a private directory so no system locale is needed.
#include "platform/process.h"

#include <clocale>
#include <cstdlib>
#include <string>
#include <unistd.h>

class DecimalCommaLocale {
public:
    DecimalCommaLocale() {
        const char* previous = std::setlocale(LC_ALL, nullptr);
        saved_ = previous ? previous : "C";
        char dir_template[] = "/tmp/vk_locale_XXXXXX";
        if (mkdtemp(dir_template) == nullptr) return;
        dir_ = dir_template;
        run_process_capture("localedef", {"-i", "de_DE", "-f", "UTF-8", dir_ + "/de_DE.UTF-8"});
        setenv("LOCPATH", dir_.c_str(), 1);
        active_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr &&
                  std::string(std::localeconv()->decimal_point) == ",";
    }
    ~DecimalCommaLocale() {
        std::setlocale(LC_ALL, saved_.c_str());
        unsetenv("LOCPATH");
        if (!dir_.empty()) run_process_capture("rm", {"-rf", dir_});
    }
    // False when the locale could not be built; tests assert on it.
    bool active() const { return active_; }

private:
    std::string saved_;
    std::string dir_;
    bool active_ = false;
};

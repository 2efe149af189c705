// Test support: a temporary application folder holding units, made the current directory for
// the test's lifetime, and a pump that ticks units the way the main window does.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "support/tempfolder.h"

namespace tavi::test {

class UnitFolder {
public:
    UnitFolder();
    ~UnitFolder();

    // A unit "units/<name>" with a one-picture skin and the given brain tables.
    void addUnit(const std::string& name, const std::string& eventJson,
                 const std::string& responseJson = "{}");
    void writeBootstrap(const std::string& json);
    const std::wstring& path() const { return folder_.path(); }

private:
    TempFolder folder_;
    std::filesystem::path previous_;
};

// Calls tick every 20 ms of real time (turning the main loop) until done() or the timeout.
bool tickUntil(const std::function<void()>& tick, const std::function<bool()>& done,
               int timeoutMs);

}  // namespace tavi::test

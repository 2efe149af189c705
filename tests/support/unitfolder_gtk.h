// GUI test support (header only): a temporary application folder holding units, made the
// current directory for the test's lifetime, and a pump that ticks units like the main window.
#pragma once

#include <gtk/gtk.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "kiro/io/charset/charset.h"
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

namespace detail {

inline std::string testImage(const char* name) {
    const char* root = std::getenv("TAVI_TEST_DATA");
    return readBytes(kiro::io::fromUtf8(std::string(root ? root : "tests/data") + "/skin/" + name));
}

}  // namespace detail

inline UnitFolder::UnitFolder() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(std::filesystem::path(folder_.path()));
}

inline UnitFolder::~UnitFolder() { std::filesystem::current_path(previous_); }

inline void UnitFolder::addUnit(const std::string& name, const std::string& eventJson,
                         const std::string& responseJson) {
    const std::wstring unit = folder_.path() + L"units/" + kiro::io::fromUtf8(name);
    writeBytes(unit + L"/body/setup.json",
               R"({"motions": {"idle": {"images": ["wide.png"]},
                               "standby": {"images": ["tall.png"]},
                               "speak": {"images": ["wide.png"]},
                               "happy": {"images": ["tall.png"]}}})");
    writeBytes(unit + L"/body/wide.png", detail::testImage("wide.png"));
    writeBytes(unit + L"/body/tall.png", detail::testImage("tall.png"));
    writeBytes(unit + L"/brain/event.json", eventJson);
    writeBytes(unit + L"/brain/response.json", responseJson);
}

inline void UnitFolder::writeBootstrap(const std::string& json) {
    writeBytes(folder_.path() + L"units/bootstrap.json", json);
}

inline bool tickUntil(const std::function<void()>& tick, const std::function<bool()>& done,
                      int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        tick();
        if (done()) return true;
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

}  // namespace tavi::test

// A temporary application folder with units for the unit and body tests.
#include "unitfolder.h"

#include <gtk/gtk.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "kiro/io/charset/charset.h"

namespace tavi::test {

namespace {

std::string testImage(const char* name) {
    const char* root = std::getenv("TAVI_TEST_DATA");
    return readBytes(kiro::io::fromUtf8(std::string(root ? root : "tests/data") + "/skin/" + name));
}

}  // namespace

UnitFolder::UnitFolder() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(std::filesystem::path(folder_.path()));
}

UnitFolder::~UnitFolder() { std::filesystem::current_path(previous_); }

void UnitFolder::addUnit(const std::string& name, const std::string& eventJson,
                         const std::string& responseJson) {
    const std::wstring unit = folder_.path() + L"units/" + kiro::io::fromUtf8(name);
    writeBytes(unit + L"/body/setup.json",
               R"({"motions": {"idle": {"images": ["wide.png"]},
                               "standby": {"images": ["tall.png"]},
                               "speak": {"images": ["wide.png"]},
                               "happy": {"images": ["tall.png"]}}})");
    writeBytes(unit + L"/body/wide.png", testImage("wide.png"));
    writeBytes(unit + L"/body/tall.png", testImage("tall.png"));
    writeBytes(unit + L"/brain/event.json", eventJson);
    writeBytes(unit + L"/brain/response.json", responseJson);
}

void UnitFolder::writeBootstrap(const std::string& json) {
    writeBytes(folder_.path() + L"units/bootstrap.json", json);
}

bool tickUntil(const std::function<void()>& tick, const std::function<bool()>& done,
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

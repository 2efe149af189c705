// Helpers for the toolkit's tests: run the GUI event loop for a while or until a condition,
// drive the real pointer with xdotool, read test data files.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <glib.h>
#endif

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace kiro::ui::test {

// Handles the events waiting now (the Win32 message queue or the GLib main context).
inline void handlePending() {
#ifdef _WIN32
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
#else
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
#endif
}

// Handles events until done() holds or ms milliseconds passed; returns done().
inline bool pumpUntil(const std::function<bool()>& done, int ms = 3000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        handlePending();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Handles pending events for ms milliseconds.
inline void pump(int ms) { pumpUntil([] { return false; }, ms); }

// Runs xdotool with the given arguments, then lets the resulting events arrive.
inline void xdotool(const std::string& args) {
    const std::string command = "xdotool " + args;
    if (std::system(command.c_str()) != 0) {
    }
    pump(60);
}

inline std::string dataPath(const std::string& name) {
    const char* dir = std::getenv("TAVI_TEST_DATA");
    return std::string(dir ? dir : "tests/data") + "/" + name;
}

inline std::vector<unsigned char> readData(const std::string& name) {
    std::ifstream in(dataPath(name), std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

}  // namespace kiro::ui::test

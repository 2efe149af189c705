// Whole-program fault tests: the program started with the preloaded library of
// support/preload_posix.c (failing thread starts, a fast clock, a log of its ticks), its
// resident memory, and how soon its UI thread answers. TAVI_FAULTS_LONG=1 asks for the long
// forms; TAVI_FAULTS_OUT names a folder for the figures they write.
#pragma once

#include <X11/Xlib.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "e2e/appprocess.h"

namespace e2e {

inline bool longFaultTests() {
    const char* v = std::getenv("TAVI_FAULTS_LONG");
    return v != nullptr && std::string(v) == "1";
}

// Where the figures go: TAVI_FAULTS_OUT, or the system's temporary folder.
inline fs::path faultsOut(const std::string& name) {
    const char* dir = std::getenv("TAVI_FAULTS_OUT");
    const fs::path folder = dir != nullptr ? fs::path(dir) : fs::temp_directory_path();
    fs::create_directories(folder);
    return folder / name;
}

// Starts the program with the preloaded library (null without TAVI_PRELOAD); the variables
// are set for the program alone.
inline std::unique_ptr<AppProcess> startPreloaded(const AppCopy& copy,
                                                  std::vector<std::pair<std::string, std::string>> vars) {
    const char* shim = std::getenv("TAVI_PRELOAD");
    if (shim == nullptr) return nullptr;
    const char* asan = std::getenv("ASAN_OPTIONS");
    vars.emplace_back("LD_PRELOAD", shim);
    // A sanitizer build of the program takes a library loaded before its runtime.
    vars.emplace_back("ASAN_OPTIONS", std::string(asan ? asan : "") + ":verify_asan_link_order=0");
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
    for (const auto& [name, value] : vars) {
        const char* old = std::getenv(name.c_str());
        saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        setenv(name.c_str(), value.c_str(), 1);
    }
    auto app = std::make_unique<AppProcess>(copy);
    for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
        if (it->second) setenv(it->first.c_str(), it->second->c_str(), 1);
        else unsetenv(it->first.c_str());
    }
    return app;
}

// The process's own resident memory: anonymous pages only, since the mapped dictionary's pages
// belong to the page cache and come and go with the system's needs.
inline long residentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    long value = -1;
    while (status >> key) {
        if (key == "RssAnon:") {
            status >> value;
            break;
        }
    }
    return value;
}

// How late each logged timer fired, in milliseconds.
inline std::vector<double> timerLateness(const fs::path& log) {
    const std::string bytes = readFile(log);
    std::vector<double> out(bytes.size() / 8);
    for (size_t i = 0; i < out.size(); ++i) {
        long long ns = 0;
        std::copy(bytes.data() + 8 * i, bytes.data() + 8 * i + 8, reinterpret_cast<char*>(&ns));
        out[i] = double(ns) / 1e6;
    }
    return out;
}

inline double percentile(std::vector<double> values, double p) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * double(values.size())))];
}

// Asks a window whether its UI thread is there: the toolkit answers _NET_WM_PING from its
// event loop, so the answer's delay is how long that loop is kept from running.
class Pinger {
public:
    Pinger() : display_(XOpenDisplay(nullptr)) {
        if (display_) XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
    }
    ~Pinger() {
        if (display_) XCloseDisplay(display_);
    }
    Pinger(const Pinger&) = delete;
    Pinger& operator=(const Pinger&) = delete;

    // Milliseconds until the answer, or -1 when none came within the limit.
    double ping(unsigned long window, std::chrono::milliseconds limit) {
        if (!display_) return -1;
        const Atom ping = XInternAtom(display_, "_NET_WM_PING", False);
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = window;
        e.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = long(ping);
        e.xclient.data.l[1] = ++serial_;
        e.xclient.data.l[2] = long(window);
        const auto start = std::chrono::steady_clock::now();
        XSendEvent(display_, window, False, NoEventMask, &e);
        XFlush(display_);
        for (;;) {
            while (XPending(display_) > 0) {
                XEvent answer;
                XNextEvent(display_, &answer);
                if (answer.type == ClientMessage && answer.xclient.data.l[0] == long(ping) &&
                    answer.xclient.data.l[1] == serial_) {
                    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
                }
            }
            const auto left = limit - (std::chrono::steady_clock::now() - start);
            if (left <= std::chrono::milliseconds(0)) return -1;
            pollfd fd{ConnectionNumber(display_), POLLIN, 0};
            poll(&fd, 1, int(std::chrono::duration_cast<std::chrono::milliseconds>(left).count()) + 1);
        }
    }

private:
    Display* display_;
    long serial_ = 0;
};

}  // namespace e2e

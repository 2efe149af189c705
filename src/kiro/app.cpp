// Start-up and shut-down of the process: the single-instance guard, the application directory,
// the ".config" and ".state" settings, the message loop and the start-up error log.
#include "kiro/app.h"

#include <cstdio>
#include <deque>
#include <fstream>
#include <mutex>
#include <stdexcept>

#include "kiro/app_platform.h"
#include "kiro/instance.h"
#include "kiro/ui/failure.h"
#include "kiro/ui/loop.h"
#include "kiro/ui/msgbox.h"

namespace kiro::app {

namespace {

// Process-wide by design: one program, one directory, one pair of settings files.
struct Process {
    InstanceLock lock;
    std::wstring directory;
    kiro::io::Ini config;
    kiro::io::Ini state;
    std::once_flag configOnce;
    kiro::io::Ini::Section* configSection = nullptr;
};

Process& process() {
    static Process p;
    return p;
}

kiro::io::Ini::Value& configValue(const std::wstring& key) {
    Process& p = process();
    std::call_once(p.configOnce, [&p] { p.configSection = &p.config.section(L""); });
    return (*p.configSection)[key];
}

bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

void writeErrorLogText(const std::string& text) {
    // Text mode: each LF reaches the file as the platform's line end.
    std::ofstream out("error.log", std::ios::out | std::ios::trunc);
    out << text;
}

// Error reports on their way to the UI thread. While the loop runs they are shown from there;
// the gate closes (under the lock) when the loop ends, and what waits then is written out.
struct Reports {
    std::mutex lock;
    bool open = false;
    std::deque<std::pair<std::string, std::string>> waiting;  // text, caption
};

Reports& reports() {
    static Reports r;
    return r;
}

void writeReport(const std::string& text, const std::string& caption) {
    writeErrorLogText(text);
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

void showNextReport() {
    std::pair<std::string, std::string> next;
    {
        std::lock_guard<std::mutex> hold(reports().lock);
        if (reports().waiting.empty()) return;
        next = std::move(reports().waiting.front());
        reports().waiting.pop_front();
    }
    kiro::ui::messageBoxNarrow(next.first, next.second, kiro::ui::MbOk | kiro::ui::MbIconError);
}

void openReports(bool open) {
    std::lock_guard<std::mutex> hold(reports().lock);
    reports().open = open;
    if (open) return;
    for (const auto& [text, caption] : reports().waiting) writeReport(text, caption);
    reports().waiting.clear();
}

}  // namespace

ProgramPaths programPaths(const std::wstring& modulePath) {
    ProgramPaths paths;
    paths.base = modulePath;
    // The file name is what follows the last separator; only a dot inside it (not its first
    // character) starts an extension.
    size_t nameStart = 0;
    for (size_t i = modulePath.size(); i > 1; --i) {
        if (isSeparator(modulePath[i - 1])) {
            nameStart = i;
            break;
        }
    }
    if (nameStart > 0) paths.directory = modulePath.substr(0, nameStart);
    const size_t dot = modulePath.rfind(L'.');
    if (dot != std::wstring::npos && dot > nameStart) paths.base = modulePath.substr(0, dot);
    return paths;
}

bool initialize(void* instance, const wchar_t* mutexName) {
    Process& p = process();
    if (mutexName != nullptr && !p.lock.acquire(mutexName)) {
        caution(L"Already executed");
        return false;
    }
    platform::start();
    const ProgramPaths paths = programPaths(platform::modulePath(instance));
    p.directory = paths.directory;
    if (!p.directory.empty()) platform::changeDirectory(p.directory);
    p.config = kiro::io::Ini(paths.base + L".config");
    p.state = kiro::io::Ini(paths.base + L".state");
    return true;
}

void run() {
    openReports(true);
    kiro::ui::runLoop();
    openReports(false);
    const std::exception_ptr failure = kiro::ui::takeLoopFailure();
    if (!failure) return;
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception&) {
        throw;
    } catch (...) {
        throw std::runtime_error("unknown exception");
    }
}

void quit() { kiro::ui::quitLoop(); }

void finalize() {
    Process& p = process();
    p.state.save();
    platform::stop();
    p.lock.release();
}

void caution(const std::wstring& text) { kiro::ui::messageBox(text, L"caution", kiro::ui::MbOk); }

const std::wstring& directory() { return process().directory; }

std::wstring configString(const std::wstring& key, const std::wstring& def) {
    return configValue(key).getString(def);
}

int configInt(const std::wstring& key, int def) { return configValue(key).getInt(def); }

bool configBool(const std::wstring& key, bool def) { return configValue(key).getBool(def); }

kiro::io::Ini::Section& stateSection(const std::wstring& group, const std::wstring& name) {
    return process().state.section(group + L"." + name);
}

void writeErrorLog(const std::exception& e) { writeErrorLogText(e.what()); }

void reportError(const std::string& text, const std::string& caption) {
    std::lock_guard<std::mutex> hold(reports().lock);
    if (!reports().open) {
        writeReport(text, caption);
        return;
    }
    reports().waiting.emplace_back(text, caption);
    kiro::ui::postToUiThread(showNextReport);
}

}  // namespace kiro::app

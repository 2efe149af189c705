// Whole-program tests: a private copy of the built application folder, the program started
// from it as a child process, its exit code, and its settings files read back.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

namespace fs = std::filesystem;

inline std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void writeFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Sections of an INI file: section name -> key -> value, read the simple way (the program
// writes these files itself, one "key=value" per line under "[section]" headers).
using IniMap = std::map<std::string, std::map<std::string, std::string>>;

inline IniMap parseIni(const std::string& text) {
    IniMap out;
    std::string section;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line.front() == '[') {
            const auto close = line.find(']');
            if (close != std::string::npos) section = line.substr(1, close - 1);
            continue;
        }
        const auto eq = line.find('=');
        if (eq != std::string::npos) out[section][line.substr(0, eq)] = line.substr(eq + 1);
    }
    return out;
}

// A copy of the application folder in a fresh temporary folder; removed with its contents.
// The dictionary link is copied as a link. The program file is taken from TAVI_EXE, so the
// copy runs the program just built ("tavi", or "tavi.exe" when the Windows program is tested).
class AppCopy {
public:
    AppCopy() {
        const char* app = std::getenv("TAVI_APP_DIR");
        const char* exe = std::getenv("TAVI_EXE");
        if (app == nullptr || exe == nullptr) throw std::runtime_error("TAVI_APP_DIR and TAVI_EXE are needed");
        char pattern[] = "/tmp/tavi-e2e-XXXXXX";
        if (mkdtemp(pattern) == nullptr) throw std::runtime_error("no temporary folder");
        root_ = pattern;
        folder_ = root_ / "app";
        fs::copy(app, folder_, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
        exe_ = folder_ / fs::path(exe).filename();
        fs::copy_file(exe, exe_, fs::copy_options::overwrite_existing);
        // A run from the built folder itself leaves its state there; each test starts afresh.
        for (const char* left : {".state", ".config"}) fs::remove(folder_ / (exe_.stem().string() + left));
        fs::remove(folder_ / "error.log");
        fs::permissions(exe_, fs::perms::owner_all, fs::perm_options::add);
        fs::create_directories(runtime());
    }
    ~AppCopy() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    AppCopy(const AppCopy&) = delete;
    AppCopy& operator=(const AppCopy&) = delete;

    const fs::path& folder() const { return folder_; }
    const fs::path& exe() const { return exe_; }
    // The folder that holds the single-instance lock of programs started from this copy.
    fs::path runtime() const { return root_ / "run"; }
    fs::path log() const { return root_ / "stderr.log"; }
    fs::path statePath() const { return folder_ / (exe_.stem().string() + ".state"); }
    IniMap state() const { return parseIni(readFile(statePath())); }

private:
    fs::path root_;
    fs::path folder_;
    fs::path exe_;
};

// The command that starts a program file, if any: TAVI_RUNNER (tools/wine-run.sh runs the
// Windows program under Wine, in the same process).
inline const char* runner() {
    const char* r = std::getenv("TAVI_RUNNER");
    return r != nullptr && *r != '\0' ? r : nullptr;
}

// One run of the program. It is started from "/" so that it has to find its folder from its
// own path; its standard error goes to the copy's log. Killed at destruction if still running.
class AppProcess {
public:
    explicit AppProcess(const AppCopy& copy) {
        const std::string exe = copy.exe().string();
        const char* start = runner();
        const std::string runtime = copy.runtime().string();
        const std::string log = copy.log().string();
        pid_ = fork();
        if (pid_ < 0) throw std::runtime_error("fork failed");
        if (pid_ == 0) {
            setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
            if (FILE* err = std::fopen(log.c_str(), "a")) dup2(fileno(err), 2);
            if (chdir("/") != 0) _exit(126);
            if (start != nullptr) execl(start, start, exe.c_str(), static_cast<char*>(nullptr));
            execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~AppProcess() {
        if (!ended_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    pid_t pid() const { return pid_; }

    bool running() {
        if (ended_) return false;
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) record(status);
        return !ended_;
    }

    // The exit code (a signal counts as 128 + its number), or -1 when the program is still
    // running after the time.
    int waitExit(std::chrono::milliseconds limit) {
        const auto until = std::chrono::steady_clock::now() + limit;
        while (running() && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return ended_ ? code_ : -1;
    }

    void signal(int number) { kill(pid_, number); }

    // The end of the user's session: SIGTERM on Linux; under Wine the session's end messages
    // that Windows sends at log-off.
    void endSession() {
        if (const char* start = runner()) {
            const std::string command = std::string(start) + " wineboot --end-session >/dev/null 2>&1";
            if (std::system(command.c_str()) != 0) kill(pid_, SIGTERM);
        } else {
            kill(pid_, SIGTERM);
        }
    }

private:
    void record(int status) {
        ended_ = true;
        code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    pid_t pid_ = -1;
    bool ended_ = false;
    int code_ = -1;
};

// Polls until the test holds or the time is up; returns the test's last answer.
template <typename Test>
bool waitFor(Test test, std::chrono::milliseconds limit, std::chrono::milliseconds step = std::chrono::milliseconds(50)) {
    const auto until = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (test()) return true;
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(step);
    }
}

}  // namespace e2e

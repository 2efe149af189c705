// Whole-program tests: a private copy of the built application folder, the program started
// from it as a child process, its exit code, and its settings files read back.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

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
using namespace std::chrono_literals;

// Polls until the test holds or the time is up; returns the test's last answer.
template <typename Test>
bool waitFor(Test test, std::chrono::milliseconds limit, std::chrono::milliseconds step = 50ms) {
    for (const auto until = std::chrono::steady_clock::now() + limit;; std::this_thread::sleep_for(step)) {
        if (test()) return true;
        if (std::chrono::steady_clock::now() >= until) return false;
    }
}

// Polls find() until it finds something or the time is up; returns what it found last.
template <typename Find>
auto waitFound(Find find, std::chrono::milliseconds limit) {
    decltype(find()) found;
    waitFor([&] { return bool(found = find()); }, limit);
    return found;
}

inline std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void writeFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Sections of an INI file: section name -> key -> value, read the simple way (the program
// writes these files itself, one "key=value" per line under "[section]" headers).
using IniMap = std::map<std::string, std::map<std::string, std::string>>;

inline IniMap parseIni(const std::string& text) {
    IniMap out;
    std::string section, line;
    std::istringstream in(text);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto eq = line.find('=');
        if (!line.empty() && line.front() == '[')
            section = line.substr(1, line.find(']') - 1);
        else if (eq != std::string::npos)
            out[section][line.substr(0, eq)] = line.substr(eq + 1);
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
        char pattern[] = "/tmp/tavi-e2e-XXXXXX";
        if (app == nullptr || exe == nullptr || mkdtemp(pattern) == nullptr)
            throw std::runtime_error("needs TAVI_APP_DIR, TAVI_EXE and a temporary folder");
        root_ = pattern;
        fs::copy(app, folder(), fs::copy_options::recursive | fs::copy_options::copy_symlinks);
        exe_ = folder() / fs::path(exe).filename();
        fs::copy_file(exe, exe_, fs::copy_options::overwrite_existing);
        fs::permissions(exe_, fs::perms::owner_all, fs::perm_options::add);
        // A run from the built folder itself leaves its state there; each test starts afresh.
        for (const char* left : {".state", ".config"}) fs::remove(folder() / (exe_.stem().string() + left));
        fs::remove(folder() / "error.log");
        fs::create_directories(runtime());
    }
    ~AppCopy() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    AppCopy(const AppCopy&) = delete;
    AppCopy& operator=(const AppCopy&) = delete;

    fs::path folder() const { return root_ / "app"; }
    const fs::path& exe() const { return exe_; }
    // The folder that holds the single-instance lock of programs started from this copy.
    fs::path runtime() const { return root_ / "run"; }
    fs::path log() const { return root_ / "stderr.log"; }
    fs::path statePath() const { return folder() / (exe_.stem().string() + ".state"); }
    IniMap state() const { return parseIni(readFile(statePath())); }

private:
    fs::path root_, exe_;
};

// The command that starts a program file, if any: TAVI_RUNNER (tools/wine-run.sh runs the
// Windows program under Wine, in the same process).
inline const char* runner() {
    const char* r = std::getenv("TAVI_RUNNER");
    return r != nullptr && *r != '\0' ? r : nullptr;
}

// One run of the program, with the environment variables given ("NAME=value") added. It is
// started from "/" so that it has to find its folder from its own path; its standard error
// goes to the copy's log. Killed at destruction if still running.
class AppProcess {
public:
    explicit AppProcess(const AppCopy& copy, std::vector<std::string> environment = {}) {
        const std::string exe = copy.exe().string(), log = copy.log().string();
        const char* start = runner();
        environment.push_back("XDG_RUNTIME_DIR=" + copy.runtime().string());
        pid_ = fork();
        if (pid_ < 0) throw std::runtime_error("fork failed");
        if (pid_ == 0) {
            for (std::string& variable : environment) putenv(variable.data());
            if (FILE* err = std::fopen(log.c_str(), "a")) dup2(fileno(err), 2);
            if (chdir("/") != 0) _exit(126);
            if (start != nullptr) execl(start, start, exe.c_str(), static_cast<char*>(nullptr));
            execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~AppProcess() {
        if (running()) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    pid_t pid() const { return pid_; }

    bool running() {
        int status = 0;
        if (code_ < 0 && waitpid(pid_, &status, WNOHANG) == pid_)
            code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return code_ < 0;
    }

    // The exit code (a signal counts as 128 + its number), or -1 when the program is still
    // running after the time.
    int waitExit(std::chrono::milliseconds limit) {
        waitFor([&] { return !running(); }, limit, 20ms);
        return code_;
    }

    void signal(int number) { kill(pid_, number); }

    // The end of the user's session: SIGTERM on Linux; under Wine the session's end messages
    // that Windows sends at log-off.
    void endSession() {
        const char* start = runner();
        if (start == nullptr ||
            std::system((std::string(start) + " wineboot --end-session >/dev/null 2>&1").c_str()) != 0)
            kill(pid_, SIGTERM);
    }

private:
    pid_t pid_ = -1;
    int code_ = -1;  // once it has ended
};

}  // namespace e2e

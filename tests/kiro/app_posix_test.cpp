// The program as a whole process: a second start is refused with the "Already executed" box
// while the first runs, a killed first instance leaves no stale guard, and SIGTERM ends the
// program through the normal shut-down, which writes the ".state" file.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "support/tempfolder.h"

namespace {

namespace fs = std::filesystem;
using tavi::test::TempFolder;
using tavi::test::readBytes;
using tavi::test::writeBytes;

// Starts the program with its own lock folder; the process's working folder is "/" so the
// program must find its folder from its own path.
pid_t start(const fs::path& exe, const fs::path& runtime) {
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        if (chdir("/") != 0) _exit(126);
        execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

// The exit code, or -1 when the process did not end within the time.
int waitExit(pid_t pid, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (std::chrono::steady_clock::now() < until) {
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
}

bool running(pid_t pid) { return waitpid(pid, nullptr, WNOHANG) == 0; }

// Whether the process has a handler installed for the signal (its SigCgt mask in /proc).
bool catches(pid_t pid, int signal) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("SigCgt:", 0) == 0) return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1;
    }
    return false;
}

std::string shell(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[256];
        while (fgets(buf, sizeof buf, p)) out += buf;
        pclose(p);
    }
    return out;
}

class ProgramProcess : public ::testing::Test {
protected:
    void SetUp() override {
        const char* exe = std::getenv("TAVI_EXE");
        if (exe == nullptr || std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs TAVI_EXE and a display";
        folder_ = fs::path(tmp_.path());
        exe_ = folder_ / "app" / "tavi";
        // The program needs its characters beside it: copy the assembled application folder
        // (its dictionary link stays a link), then the program under test.
        if (const char* app = std::getenv("TAVI_APP_DIR"); app && fs::exists(app)) {
            fs::copy(app, exe_.parent_path(), fs::copy_options::recursive | fs::copy_options::copy_symlinks);
        }
        fs::create_directories(exe_.parent_path());
        fs::create_directories(folder_ / "run");
        fs::copy_file(exe, exe_, fs::copy_options::overwrite_existing);
    }
    void TearDown() override {
        for (pid_t pid : started_) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    pid_t launch() {
        const pid_t pid = start(exe_, folder_ / "run");
        started_.push_back(pid);
        return pid;
    }
    // Waits until the process holds its guard and has taken over SIGTERM and SIGINT, which
    // it does right after taking the guard.
    void waitStarted(pid_t pid) {
        const fs::path lock = folder_ / "run" / "5f2e9a61-7c3d-4b8e-a0f4-2d91c6e7b358.lock";
        for (int i = 0; i < 500 && !(fs::exists(lock) && catches(pid, SIGTERM) && catches(pid, SIGINT)); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ASSERT_TRUE(fs::exists(lock));
        ASSERT_TRUE(catches(pid, SIGTERM));
        ASSERT_TRUE(running(pid));
    }
    void forget(pid_t pid) { started_.erase(std::remove(started_.begin(), started_.end(), pid), started_.end()); }

    TempFolder tmp_;
    fs::path folder_;
    fs::path exe_;
    std::vector<pid_t> started_;
};

TEST_F(ProgramProcess, SecondInstanceIsRefusedUntilTheFirstIsGone) {
    const pid_t first = launch();
    waitStarted(first);

    const pid_t second = launch();
    // The refusal waits on its box; the box carries the caption and is answered with Return.
    const std::string found = shell("timeout 20 xdotool search --sync --name '^caution$' 2>/dev/null | head -1");
    ASSERT_FALSE(found.empty()) << "no box captioned caution";
    EXPECT_TRUE(running(second));
    shell("xdotool windowfocus --sync " + found.substr(0, found.size() - 1) + " key Return 2>/dev/null");
    EXPECT_EQ(waitExit(second, std::chrono::seconds(10)), 255);
    forget(second);
    EXPECT_TRUE(running(first));

    kill(first, SIGKILL);
    EXPECT_EQ(waitExit(first, std::chrono::seconds(10)), 128 + SIGKILL);
    forget(first);

    const pid_t third = launch();
    waitStarted(third);
    kill(third, SIGTERM);
    EXPECT_EQ(waitExit(third, std::chrono::seconds(10)), 0);
    forget(third);
}

TEST_F(ProgramProcess, TerminationWritesTheStateThroughTheNormalShutDown) {
    writeBytes((folder_ / "app" / "tavi.state").wstring(), "[b]\nk=1\n[a]\nk=2\n[empty]\n");
    writeBytes((folder_ / "app" / "tavi.config").wstring(), "debug_root_window=false\n");
    const pid_t pid = launch();
    waitStarted(pid);
    kill(pid, SIGINT);
    EXPECT_EQ(waitExit(pid, std::chrono::seconds(10)), 0);
    forget(pid);
    // Rewritten in section order: the program read it from its own folder and saved it at exit,
    // with the menu's check marks stored beside the sections it found.
    EXPECT_EQ(readBytes((folder_ / "app" / "tavi.state").wstring()),
              "[a]\nk=2\n\n[b]\nk=1\n\n"
              "[user.preference]\n1=false\n2=false\n3=false\n4=false\n6=false\n\n");
    EXPECT_FALSE(fs::exists(folder_ / "app" / "error.log"));
}

}  // namespace

// The built program under faults: killed at random moments while it saves, fed by a hostile
// feed server, and left running for a long time. Short forms run with the other tests;
// TAVI_FAULTS_LONG=1 runs the long ones (tools/fault-tests.sh).
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <random>
#include <tuple>

#include "e2e/companion_x11.h"
#include "support/faults_x11.h"

namespace e2e {
namespace {

using FaultsTest = ProgramTest;

// A settings file large enough that saving it takes a while: kills land inside the save.
std::string bigState() {
    std::string text = "[user.preference]\n1=false\n2=false\n3=false\n4=false\n6=false\n\n[filler]\n";
    for (int i = 0; i < 40000; ++i) text += "key" + std::to_string(i) + "=some value to rewrite " + std::to_string(i) + "\n";
    return text;
}

TEST_F(FaultsTest, KilledWhileSavingLeavesEachFileOldOrNewNeverPartial) {
    const int rounds = longFaultTests() ? 50 : 8;
    const fs::path state = copy_->statePath();
    const std::string old = bigState();
    // What a normal exit writes, and when: from its temporary file's appearance to the
    // replacement of the file, counted from the end request.
    writeFile(state, old);
    // The file's identity and change time, which any way of writing it moves.
    const auto version = [&] {
        struct stat st{};
        ::stat(state.c_str(), &st);
        return std::make_tuple(st.st_ino, st.st_ctim.tv_sec, st.st_ctim.tv_nsec);
    };
    const auto saving = [&] {
        for (const auto& entry : fs::directory_iterator(copy_->folder()))
            if (entry.path().filename().string().rfind(".tavi.state.", 0) == 0) return true;
        return false;
    };
    long saveStart = -1, saveEnd = -1;
    {
        AppProcess app(*copy_);
        ASSERT_TRUE(Companion(*desk_, app).waitBody());
        const auto before = version();
        const auto start = std::chrono::steady_clock::now();
        app.signal(SIGTERM);
        while (app.running()) {
            const long ms = long(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
            if (saveStart < 0 && saving()) saveStart = ms;
            if (saveEnd < 0 && version() != before) saveEnd = ms;
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
        ASSERT_EQ(app.waitExit(1s), 0);
        ASSERT_GE(saveEnd, 0);
    }
    const std::string saved = readFile(state);
    ASSERT_NE(saved, old);
    // Kills from a little before the save to a little after it.
    const long first = std::max(0L, (saveStart < 0 ? saveEnd : saveStart) - 30), last = saveEnd + 30;
    std::mt19937 random(std::random_device{}());
    int oldKept = 0, newKept = 0;
    for (int round = 0; round < rounds; ++round) {
        writeFile(state, old);
        AppProcess app(*copy_);
        ASSERT_TRUE(Companion(*desk_, app).waitBody());
        app.signal(SIGTERM);
        std::this_thread::sleep_for(std::chrono::milliseconds(first + long(random() % (last - first + 1))));
        app.signal(SIGKILL);
        app.waitExit(10s);
        const std::string now = readFile(state);
        ASSERT_TRUE(now == old || now == saved) << "round " << round << ": a state file of " << now.size() << " bytes";
        ++(now == old ? oldKept : newKept);
    }
    std::cout << "save seen from " << saveStart << " to " << saveEnd << " ms after the end request; after "
              << rounds << " kills between " << first << " and " << last << " ms the state was old " << oldKept
              << " times and new " << newKept << " times\n";
}

}  // namespace
}  // namespace e2e

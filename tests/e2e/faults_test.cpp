// The built program under faults: killed at random moments while it saves, fed by a hostile
// feed server, and left running for a long time. Short forms run with the other tests;
// TAVI_FAULTS_LONG=1 runs the long ones (tools/fault-tests.sh).
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <random>
#include <tuple>

#include "e2e/companion_x11.h"
#include "kiro/io/charset/charset.h"
#include "support/faults_x11.h"
#include "support/feedserver.h"

namespace e2e {
namespace {

using FaultsTest = ProgramTest;

// The files an exit writes: the state, large enough that saving it takes a while, and two
// notes whose settings lack keys, so that the exit completes them. Name, then content.
std::vector<std::pair<std::string, std::string>> filesBeforeExit() {
    std::string state = "[user.preference]\n1=false\n2=false\n3=false\n4=false\n6=false\n\n[filler]\n";
    for (int i = 0; i < 40000; ++i) state += "key" + std::to_string(i) + "=some value to rewrite " + std::to_string(i) + "\n";
    std::string text;
    for (int i = 0; i < 2000; ++i) text += "買い物：牛乳、卵、トマト三つ。\n";
    return {{"tavi.state", state},
            {"data/memo/20250601090000.dat", text},
            {"data/memo/20250601090000.dat.ini", "x=40\ny=60\nkept=yes\n"},
            {"data/memo/20250601090001.dat", "電話をかけ直す"},
            {"data/memo/20250601090001.dat.ini", "x=300\ny=80\n"}};
}

TEST_F(FaultsTest, KilledWhileSavingLeavesEachFileOldOrNewNeverPartial) {
    const int rounds = longFaultTests() ? 50 : 8;
    const auto files = filesBeforeExit();
    const auto putBack = [&] {
        for (const auto& [name, bytes] : files) writeFile(copy_->folder() / name, bytes);
    };
    // A file's identity and change time, which any way of writing it moves.
    const auto version = [&](const std::string& name) {
        struct stat st{};
        ::stat((copy_->folder() / name).c_str(), &st);
        return std::make_tuple(st.st_ino, st.st_ctim.tv_sec, st.st_ctim.tv_nsec);
    };
    // What a normal exit writes, and when, counted from the end request.
    putBack();
    std::vector<std::tuple<ino_t, time_t, long>> before;
    std::vector<long> changedAt(files.size(), -1);
    {
        AppProcess app(*copy_);
        ASSERT_TRUE(Companion(*desk_, app).waitBody());
        for (const auto& file : files) before.push_back(version(file.first));
        const auto start = std::chrono::steady_clock::now();
        app.signal(SIGTERM);
        while (app.running()) {
            const long ms = long(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
            for (size_t i = 0; i < files.size(); ++i)
                if (changedAt[i] < 0 && version(files[i].first) != before[i]) changedAt[i] = ms;
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
        ASSERT_EQ(app.waitExit(1s), 0);
    }
    std::vector<std::string> saved;
    std::vector<long> moments;  // when the exit writes something
    for (size_t i = 0; i < files.size(); ++i) {
        saved.push_back(readFile(copy_->folder() / files[i].first));
        if (changedAt[i] >= 0) moments.push_back(changedAt[i]);
    }
    ASSERT_NE(saved[0], files[0].second) << "the exit wrote no state";
    std::mt19937 random(std::random_device{}());
    std::vector<int> newKept(files.size());
    for (int round = 0; round < rounds; ++round) {
        putBack();
        AppProcess app(*copy_);
        ASSERT_TRUE(Companion(*desk_, app).waitBody());
        app.signal(SIGTERM);
        // Round by round near each of the writes: from a little before to a little after it.
        const long moment = moments[size_t(round) % moments.size()];
        std::this_thread::sleep_for(std::chrono::milliseconds(std::max(0L, moment - 40) + long(random() % 71)));
        app.signal(SIGKILL);
        app.waitExit(10s);
        for (size_t i = 0; i < files.size(); ++i) {
            const std::string now = readFile(copy_->folder() / files[i].first);
            ASSERT_TRUE(now == files[i].second || now == saved[i])
                << "round " << round << ": " << files[i].first << " of " << now.size() << " bytes";
            newKept[i] += now == saved[i] && now != files[i].second;
        }
    }
    std::cout << rounds << " kills within 40 ms of the writes (ms after the end request):";
    for (size_t i = 0; i < files.size(); ++i)
        std::cout << " " << files[i].first << " written at " << changedAt[i] << " ms, new " << newKept[i] << " times;";
    std::cout << "\n";
}

// A feed server that sends garbage, a 100 MiB body, a feed a byte a second, and half a feed
// before it hangs up: the UI thread goes on answering and its timers fire on time, the memory
// stays bounded, and the program ends promptly while the slow feed is still coming. Without
// the language module the memory at start is the memory of the whole run.
TEST_F(FaultsTest, HostileFeedServerNeitherStallsNorBloatsNorDelaysTheExit) {
    std::string list;
    for (const wchar_t* path : {L"/garbage", L"/big/100", L"/cut", L"/trickle"})
        list += kiro::io::toUtf8(tavi::test::served("TAVI_HTTP", path)) + "\n";
    writeFile(copy_->folder() / "etc/rss-urls.txt", list);
    fs::remove_all(copy_->folder() / "sorn");
    const fs::path ticks = copy_->folder().parent_path() / "ticks.bin";
    const auto started = startPreloaded(*copy_, {{"TAVI_TICK_LOG", ticks.string()}});
    if (!started) GTEST_SKIP() << "needs TAVI_PRELOAD";
    AppProcess& app = *started;
    const auto body = Companion(*desk_, app).waitBody();
    ASSERT_TRUE(body);
    const long startKiB = residentKiB(app.pid());

    // The feeds come one after another from a second after the start; the slow one last.
    Pinger pinger;
    std::vector<double> answers;
    long peakKiB = startKiB;
    const auto until = std::chrono::steady_clock::now() + 8s;
    while (std::chrono::steady_clock::now() < until) {
        answers.push_back(pinger.ping(body->id, 2s));
        peakKiB = std::max(peakKiB, residentKiB(app.pid()));
        std::this_thread::sleep_for(50ms);
    }
    const auto stop = std::chrono::steady_clock::now();
    app.signal(SIGTERM);
    ASSERT_EQ(app.waitExit(5s), 0);
    const double exitMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - stop).count();

    const std::vector<double> late = timerLateness(ticks);
    std::cout << "UI thread answers: median " << percentile(answers, 0.5) << " ms, 99% " << percentile(answers, 0.99)
              << " ms, slowest " << percentile(answers, 1) << " ms; " << late.size() << " timer firings late by: median "
              << percentile(late, 0.5) << " ms, 99% " << percentile(late, 0.99) << " ms, most " << percentile(late, 1)
              << " ms; resident memory " << startKiB / 1024 << " MiB at start, at most " << peakKiB / 1024
              << " MiB; exit " << exitMs << " ms\n";
    // Faults, not speed: a UI thread held up for a second (its answers, and its timers firing
    // late), the body kept whole (it is cut at 32 MiB), an exit that waits for the slow feed.
    EXPECT_EQ(std::count(answers.begin(), answers.end(), -1.0), 0) << "pings unanswered for 2 s";
    EXPECT_LT(percentile(answers, 1), 1000) << "the UI thread stalled";
    EXPECT_FALSE(late.empty()) << "no timer fired";
    EXPECT_LT(percentile(late, 1), 1000) << "a timer fired a second late";
    EXPECT_LT(peakKiB - startKiB, 80 * 1024) << "the 100 MiB body is held";
    EXPECT_LT(exitMs, 1500) << "the exit waited for the slow feed";
}

// A long run with the program's clocks sped up (the hourly clock strikes, the characters talk
// out of boredom): its resident memory, polled every few seconds, grows no more than noise
// once start-up is over. The samples go to TAVI_FAULTS_OUT/memory.csv.
TEST_F(FaultsTest, LongRunKeepsItsMemory) {
    const auto length = longFaultTests() ? 30min : 1min;
    const auto every = longFaultTests() ? 5s : 2s;
    writeFile(copy_->folder() / "etc/rss-urls.txt",
              kiro::io::toUtf8(tavi::test::served("TAVI_HTTP", L"/data/feeds/rss1-rdf.in")) + "\n");
    const auto started = startPreloaded(*copy_, {{"TAVI_CLOCK_RATE", "20"}});
    if (!started) GTEST_SKIP() << "needs TAVI_PRELOAD";
    AppProcess& app = *started;
    ASSERT_TRUE(Companion(*desk_, app).waitBody());
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::pair<double, long>> samples;
    std::ofstream csv(faultsOut("memory.csv"));
    csv << "seconds,resident_kib\n";
    while (std::chrono::steady_clock::now() - start < length) {
        ASSERT_TRUE(app.running()) << "the program ended";
        const double at = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        samples.emplace_back(at, residentKiB(app.pid()));
        csv << at << "," << samples.back().second << std::endl;
        std::this_thread::sleep_for(every);
    }
    app.signal(SIGTERM);
    EXPECT_EQ(app.waitExit(10s), 0);
    // The middle of the second fifth against the middle of the last fifth.
    const auto median = [&](double from, double to) {
        std::vector<double> part;
        for (size_t i = size_t(from * samples.size()); i < size_t(to * samples.size()); ++i)
            part.push_back(double(samples[i].second));
        return percentile(part, 0.5);
    };
    const double early = median(0.2, 0.4), late = median(0.8, 1.0);
    std::cout << samples.size() << " samples: " << early / 1024 << " MiB after start-up, " << late / 1024
              << " MiB at the end, " << percentile([&] {
                     std::vector<double> all;
                     for (const auto& s : samples) all.push_back(double(s.second));
                     return all;
                 }(), 1) / 1024
              << " MiB at most\n";
    EXPECT_LT(late - early, std::max(4096.0, early * 0.03)) << "resident memory grows";
}

}  // namespace
}  // namespace e2e

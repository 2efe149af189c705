// Names derived from the program file's path, and error reports: the log of a failed start,
// and reports from worker threads, shown in a box on the UI thread while the loop runs (the
// worker does not wait for it) or written to "error.log" when no loop runs.
#include "kiro/app.h"

#include <future>
#include <thread>

#include "kiro/io/charset/charset.h"
#include "kiro/ui/boxflags.h"
#include "kiro/ui/loop.h"
#include "support/cases.h"
#include "support/scoped_folders.h"
#include "support/tempfolder.h"
#include "support/uidriver.h"

TEST(ProgramPaths, CasesAsTheirFilesSay) {
    tavi::test::runCases("programpaths", [](std::string in) {
        if (!in.empty() && in.back() == '\n') in.pop_back();
        const auto p = kiro::app::programPaths(kiro::io::fromUtf8(in));
        return tavi::test::Outcome{kiro::io::toUtf8(p.base + L"|" + p.directory), ""};
    });
}

using ErrorReport = uitest::Ui;

TEST_F(ErrorReport, TheLogHoldsTheLastFailureAndWorkersReportInABoxWhileTheLoopRuns) {
    tavi::test::ScopedWorkFolder folder;
    const std::wstring log = (folder.path() / "error.log").wstring();
    kiro::app::writeErrorLog(kiro::Exception("/src/tavi/multiunit.cpp", 12, "tavi::MultiUnit::MultiUnit", "first"));
    kiro::app::writeErrorLog(kiro::Exception("appmain.cpp", 3, "AppMain::AppMain", nullptr));
    EXPECT_EQ(tavi::test::readBytes(log), "appmain.cpp(3) AppMain::AppMain\n\nundefined error");
    // The loop has not started: the worker writes the log and goes on.
    std::thread([] { kiro::app::reportError("failed before the loop", "exception"); }).join();
    EXPECT_EQ(tavi::test::readBytes(log), "failed before the loop");
    // The loop runs: the UI thread waits for the worker (as when it joins it) and the worker
    // is done without waiting for the box, which then shows on the UI thread.
    uitest::BoxSeen seen;
    bool workerDone = false;
    kiro::ui::postToUiThread([&] {
        auto done = std::make_shared<std::promise<void>>();
        std::future<void> finished = done->get_future();
        std::thread([done] {
            kiro::app::reportError("failed in the loop", "exception");
            done->set_value();
        }).detach();
        workerDone = finished.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        uitest::answerBox(&seen, kiro::ui::IdOk);
    });
    uitest::every(50, [&] {
        if (!seen.seen) return true;
        kiro::app::quit();
        return false;
    });
    kiro::app::run();
    EXPECT_TRUE(workerDone) << "the worker waited for the UI thread";
    EXPECT_EQ(seen.caption + L": " + seen.text, L"exception: failed in the loop");
    EXPECT_EQ(tavi::test::readBytes(log), "failed before the loop");
}

// A character's brain: a worker thread that loads the conversation engine and answers posted
// events; the user-interface thread meets it only through an inbox and an outbox.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "kiro/clock.h"
#include "tavi/braininterface.h"
#include "tavi/eventmessage.h"

namespace tavi {

namespace oreb {
class Engine;
}

struct BrainOptions {
    // Reports the text of an exception that ended the worker (the program passes a report that
    // becomes a box captioned "exception" on the UI thread). Called on the worker thread; it
    // should not wait for the UI thread, which may be joining this worker.
    // Empty, or when it throws: the text goes to the standard error stream.
    std::function<void(const std::string& text)> reportError;
    // The millisecond clock of the timing rules. Empty: kiro::tickCount.
    kiro::MillisClock clock;
    // Called on the worker whenever a response waits in the outbox after a cycle, so that the
    // user-interface thread can come for it. Must be quick and safe from any thread.
    std::function<void()> wake = nullptr;
    // The worker starts loading only when start() is called (after the first frame, so that
    // loading does not slow the window's appearance).
    bool waitForStart = false;
};

class Brain : public BrainInterface {
public:
    static constexpr uint64_t CorpusWindow = 3;
    // Pause between the engine being loaded and the first cycle.
    static constexpr int SettleMillis = 1000;
    // The least time between two cycles of the worker.
    static constexpr int CycleMillis = 200;

    // brainFolder ends with a separator ("units\name\brain\"). Starts the worker, which begins
    // loading at once (or at start() with options.waitForStart). Throws std::system_error when
    // the thread cannot be started.
    explicit Brain(const std::wstring& brainFolder, BrainOptions options = BrainOptions());
    // Stops the worker and waits for it: at most one cycle, or while loading the current
    // piece of a corpus file. Unread messages and responses are dropped.
    ~Brain() override;
    Brain(const Brain&) = delete;
    Brain& operator=(const Brain&) = delete;

    void post(const EventMessage& message) override;
    // Hands out the oldest finished response, but never while posted messages still wait
    // for the worker.
    bool poll(Response& out);
    // Whether a response waits in the outbox (the worker wakes the user-interface thread for
    // each it adds, but not again for one left after a poll).
    bool hasResponse();
    // Set while some character's balloon is busy: only event lines are said meanwhile.
    void setQuiet(bool quiet);
    // The loading fraction; true until the brain is ready to answer.
    bool progress(float& out) const;
    // Lets a brain made with options.waitForStart begin loading; later calls do nothing.
    void start();

private:
    void work(const std::wstring& brainFolder);
    void run(oreb::Engine& engine);
    void report(const std::string& text) const;

    BrainOptions options_;
    std::mutex lock_;  // guards inbox_, outbox_, started_ and quietChanged_
    std::condition_variable changed_;  // a message, a change of quiet, start or stop
    std::vector<EventMessage> inbox_;
    std::deque<Response> outbox_;
    bool started_ = false;
    bool quietChanged_ = false;
    std::atomic<bool> stop_{false};
    std::atomic<bool> ready_{false};
    std::atomic<bool> quiet_{false};
    std::atomic<float> progress_{0.0f};
    std::thread worker_;  // last, so that it starts after every member it uses exists
};

}  // namespace tavi

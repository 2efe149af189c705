// The brain's worker thread: load, settle, then a cycle whenever a message arrives, quiet
// changes or a timing rule comes due, never two cycles closer than 200 ms.
#include "tavi/brain.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>
#include <utility>

#include "tavi/oreb/engine.h"

namespace tavi {

using std::chrono::milliseconds;
using Steady = std::chrono::steady_clock;

Brain::Brain(const std::wstring& brainFolder, BrainOptions options)
    : options_(std::move(options)), started_(!options_.waitForStart) {
    worker_ = std::thread(&Brain::work, this, brainFolder);
}

Brain::~Brain() {
    {
        // Set under the lock, so that a worker about to wait cannot miss it.
        std::lock_guard<std::mutex> hold(lock_);
        stop_ = true;
    }
    changed_.notify_all();
    if (worker_.joinable()) worker_.join();
}

void Brain::post(const EventMessage& message) {
    {
        std::lock_guard<std::mutex> hold(lock_);
        inbox_.push_back(message);
    }
    changed_.notify_all();
}

bool Brain::poll(Response& out) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!inbox_.empty() || outbox_.empty()) return false;
    out = std::move(outbox_.front());
    outbox_.pop_front();
    return true;
}

bool Brain::hasResponse() {
    std::lock_guard<std::mutex> hold(lock_);
    return !outbox_.empty();
}

void Brain::setQuiet(bool quiet) {
    if (quiet_.exchange(quiet) == quiet) return;
    {
        std::lock_guard<std::mutex> hold(lock_);
        quietChanged_ = true;
    }
    changed_.notify_all();
}

bool Brain::progress(float& out) const {
    out = progress_;
    return !ready_;
}

void Brain::start() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (started_) return;
        started_ = true;
    }
    changed_.notify_all();
}

void Brain::work(const std::wstring& brainFolder) {
    try {
        {
            std::unique_lock<std::mutex> hold(lock_);
            changed_.wait(hold, [this] { return started_ || stop_; });
            if (stop_) return;
        }
        auto engine = std::make_unique<oreb::Engine>(brainFolder, CorpusWindow, progress_, stop_,
                                                     options_.clock);
        {
            // The settle pause; a stop request ends it at once.
            std::unique_lock<std::mutex> hold(lock_);
            if (changed_.wait_for(hold, milliseconds(SettleMillis), [this] { return stop_.load(); }))
                return;
        }
        ready_ = true;
        run(*engine);
    } catch (const std::exception& e) {
        report(e.what());
    } catch (...) {
        report("unknown exception");
    }
}

void Brain::run(oreb::Engine& engine) {
    std::vector<EventMessage> arrived;
    // The first cycle comes one spacing after the brain is ready.
    Steady::time_point lastCycle = Steady::now();
    Steady::time_point dueAt = lastCycle;
    bool dueNever = false;
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
        if (changed_.wait_until(hold, lastCycle + milliseconds(CycleMillis), [this] { return stop_.load(); }))
            return;
        const auto work = [this] { return stop_ || !inbox_.empty() || quietChanged_; };
        if (dueNever) {
            changed_.wait(hold, work);
        } else {
            changed_.wait_until(hold, dueAt, work);
        }
        if (stop_) return;
        quietChanged_ = false;
        arrived.swap(inbox_);
        hold.unlock();

        // The engine sees the messages in posting order; they are handed over outside the lock
        // so the user-interface thread never waits on the engine (or its clock).
        for (const EventMessage& message : arrived) engine.post(message);
        arrived.clear();
        Response response;
        const bool said = engine.cycle(quiet_, response);
        const uint32_t due = engine.dueIn(quiet_);
        lastCycle = Steady::now();
        dueNever = due == oreb::Engine::NeverDue;
        if (!dueNever) dueAt = lastCycle + milliseconds(due);

        hold.lock();
        if (said) outbox_.push_back(std::move(response));
        // A response still waiting (also one that a posted message held back until now) is
        // worth a visit of the user-interface thread.
        if (!outbox_.empty() && options_.wake) {
            hold.unlock();
            options_.wake();
            hold.lock();
        }
    }
}

void Brain::report(const std::string& text) const {
    if (options_.reportError) {
        // A failing reporter must not take the process down with the worker.
        try {
            options_.reportError(text);
            return;
        } catch (...) {
        }
    }
    std::fprintf(stderr, "exception: %s\n", text.c_str());
}

}  // namespace tavi

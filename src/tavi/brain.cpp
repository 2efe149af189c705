// The brain's worker thread: load, settle, then one cycle every 200 ms until stopped.
#include "tavi/brain.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>
#include <utility>

#include "tavi/oreb/engine.h"

namespace tavi {

using std::chrono::milliseconds;

Brain::Brain(const std::wstring& brainFolder, BrainOptions options)
    : options_(std::move(options)) {
    worker_ = std::thread(&Brain::work, this, brainFolder);
    std::this_thread::sleep_for(milliseconds(100));
}

Brain::~Brain() {
    stop_ = true;
    if (worker_.joinable()) worker_.join();
}

void Brain::post(const EventMessage& message) {
    std::lock_guard<std::mutex> hold(lock_);
    inbox_.push_back(message);
}

bool Brain::poll(Response& out) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!inbox_.empty() || outbox_.empty()) return false;
    out = std::move(outbox_.front());
    outbox_.pop_front();
    return true;
}

void Brain::setQuiet(bool quiet) { quiet_ = quiet; }

bool Brain::progress(float& out) const {
    out = progress_;
    return !ready_;
}

void Brain::work(const std::wstring& brainFolder) {
    try {
        auto engine = std::make_unique<oreb::Engine>(brainFolder, CorpusWindow, progress_, stop_,
                                                     options_.clock);
        std::this_thread::sleep_for(milliseconds(SettleMillis));
        ready_ = true;

        std::vector<EventMessage> arrived;
        while (!stop_) {
            std::this_thread::sleep_for(milliseconds(CycleMillis));
            {
                std::lock_guard<std::mutex> hold(lock_);
                arrived.swap(inbox_);
            }
            // The engine sees the messages in posting order; they are handed over outside
            // the lock so the user-interface thread never waits on the engine.
            for (const EventMessage& message : arrived) engine->post(message);
            arrived.clear();

            Response response;
            if (engine->cycle(quiet_, response)) {
                std::lock_guard<std::mutex> hold(lock_);
                outbox_.push_back(std::move(response));
            }
        }
    } catch (const std::exception& e) {
        report(e.what());
    } catch (...) {
        report("unknown exception");
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

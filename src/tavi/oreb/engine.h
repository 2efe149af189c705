// The conversation engine of one brain: its tables, corpus and candidate sets, the queue of
// messages handed over by the brain, and the timing rules that decide when a line is said.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "kiro/clock.h"
#include "tavi/eventmessage.h"
#include "tavi/oreb/responseset.h"

namespace tavi::oreb {

class Corpus;
class Event;
class Responder;

class Engine {
public:
    // A conversation line waits this long after the last message or response.
    static constexpr uint32_t ChatterDelay = 2000;
    // Silence longer than this adds a boredom line.
    static constexpr uint32_t BoredomDelay = 60000;
    // What dueIn answers when only a new message or the end of quiet can bring a line.
    static constexpr uint32_t NeverDue = 0xFFFFFFFFu;

    // Loads the tables of brainFolder (which ends with a separator) and the association file,
    // then learns every file below brainFolder + "models\corpus", publishing the fraction
    // done in progress. Once stop is set no further file is learnt. The clock gives the
    // milliseconds that the timing rules compare.
    Engine(const std::wstring& brainFolder, uint64_t window, std::atomic<float>& progress,
           const std::atomic<bool>& stop, kiro::MillisClock clock = kiro::tickCount);
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Queues the message and counts it as activity.
    void post(const EventMessage& message);
    // Consumes every queued message into the candidate sets; after a long silence adds a
    // boredom line.
    void process();
    bool hasEventLines() const;
    // Takes at most one line: an event line at once, a conversation line only when the last
    // activity is at least ChatterDelay ago.
    bool respond(Response& out);
    // One worker cycle once the posted messages are in: process, then respond unless quiet
    // holds conversation lines back and there is no event line.
    bool cycle(bool quiet, Response& out);
    // Milliseconds from now until a cycle can next say or collect something: 0 while messages
    // or event lines wait, else the end of the pause before a conversation line or the minute
    // of boredom; NeverDue when only a new message (or, with quiet, its end) can change that.
    uint32_t dueIn(bool quiet) const;

    const Corpus& corpus() const { return *corpus_; }

private:
    void load(const std::wstring& brainFolder);
    // Milliseconds since the last activity. The clock wraps at 2^32 like the multimedia
    // timer, so the difference is taken modulo 2^32 and stays right across the wrap.
    uint32_t elapsed(uint32_t now) const { return now - lastActivity_; }

    kiro::MillisClock clock_;
    std::atomic<float>& progress_;
    const std::atomic<bool>& stop_;
    uint32_t lastActivity_ = 0;
    bool askedBoredom_ = false;  // since the last activity
    std::deque<EventMessage> input_;
    ResponseSet eventSet_;
    ResponseSet chatterSet_;
    std::shared_ptr<Corpus> corpus_;
    std::shared_ptr<Responder> responder_;
    std::shared_ptr<Event> event_;
};

}  // namespace tavi::oreb

// Loading a brain's engine and turning queued messages into candidate lines and responses.
#include "tavi/oreb/engine.h"

#include <algorithm>
#include <utility>

#include "kiro/io/file.h"
#include "kiro/io/text.h"
#include "sorn/sorn.h"
#include "tavi/oreb/corpus.h"
#include "tavi/oreb/event.h"
#include "tavi/oreb/relatives.h"
#include "tavi/oreb/responder.h"

namespace tavi::oreb {

Engine::Engine(const std::wstring& brainFolder, uint64_t window, std::atomic<float>& progress,
               const std::atomic<bool>& stop, kiro::MillisClock clock)
    : clock_(clock ? std::move(clock) : kiro::MillisClock(kiro::tickCount)),
      progress_(progress),
      stop_(stop) {
    progress_ = 0.0f;
    corpus_ = std::make_shared<Corpus>(window);
    responder_ = std::make_shared<Responder>(brainFolder + L"response.json");
    event_ = std::make_shared<Event>(brainFolder + L"event.json");
    load(brainFolder);
}

Engine::~Engine() = default;

void Engine::load(const std::wstring& brainFolder) {
    const std::vector<std::wstring> files = kiro::io::listFiles(brainFolder + L"models\\corpus");
    const size_t total = files.size();
    size_t done = 0;
    for (const std::wstring& file : files) {
        // Leave at once: the remaining files stay unlearnt and progress keeps its value.
        if (stop_) return;
        const kiro::io::Text text(file);
        if (!corpus_->learnText(text.str(), stop_)) return;
        ++done;
        progress_ = float(done) / float(total);
    }
    progress_ = 1.0f;
}

void Engine::post(const EventMessage& message) {
    input_.push_back(message);
    lastActivity_ = clock_();
    askedBoredom_ = false;
}

void Engine::process() {
    while (!input_.empty()) {
        const EventMessage message = std::move(input_.front());
        input_.pop_front();
        if (message.kind == EventMessage::Named) {
            event_->collect(eventSet_, message);
        } else if (message.kind == EventMessage::FreeText) {
            const std::vector<sorn::Token> tokens = sorn::analyze(message.name);
            std::wstring keyword;
            if (corpus_->pickUnknown(tokens, keyword)) responder_->unknown(chatterSet_, keyword);
            Relatives relatives;
            if (corpus_->pickKnown(tokens, keyword, relatives))
                responder_->related(chatterSet_, keyword, relatives);
            responder_->through(chatterSet_, keyword);
        }
    }
    if (elapsed(clock_()) > BoredomDelay) {
        responder_->boredom(chatterSet_);
        askedBoredom_ = true;
    }
}

bool Engine::hasEventLines() const { return !eventSet_.empty(); }

bool Engine::respond(Response& out) {
    const uint32_t now = clock_();
    if (eventSet_.take(out)) {
        out.chatter = false;
    } else if (elapsed(now) >= ChatterDelay && chatterSet_.take(out)) {
        out.chatter = true;
    } else {
        return false;
    }
    lastActivity_ = now;
    askedBoredom_ = false;
    return true;
}

bool Engine::cycle(bool quiet, Response& out) {
    process();
    if (quiet && !hasEventLines()) return false;
    return respond(out);
}

uint32_t Engine::dueIn(bool quiet) const {
    if (!input_.empty() || !eventSet_.empty()) return 0;
    const uint32_t silent = elapsed(clock_());
    const bool chatterWaits = !chatterSet_.empty() && !quiet;
    // Past the minute every cycle asks for a boredom line. Once one has, nothing changes
    // until quiet ends (the line waits for it) or a message comes (the table has no line).
    if (silent > BoredomDelay) return chatterWaits || !askedBoredom_ ? 0 : NeverDue;
    uint32_t due = BoredomDelay + 1 - silent;
    if (chatterWaits) due = silent >= ChatterDelay ? 0 : std::min(due, ChatterDelay - silent);
    return due;
}

}  // namespace tavi::oreb

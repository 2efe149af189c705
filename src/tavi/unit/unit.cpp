// Units: building body and brain, carrying responses to the body, and the quiet rule that keeps
// two characters from talking over one another.
#include "tavi/unit/unit.h"

#include <unordered_set>
#include <utility>

#include "kiro/app.h"
#include "kiro/format.h"
#include "kiro/ui/msgbox.h"
#include "tavi/body/body.h"
#include "tavi/brain.h"
#include "tavi/eventmessage.h"
#include "tavi/events.h"

namespace tavi {
namespace {

// Every live unit, for the quiet rule. Touched on the UI thread only.
std::unordered_set<Unit*>& registry() {
    static std::unordered_set<Unit*> units;
    return units;
}

bool anyoneSpeaking() {
    for (Unit* unit : registry()) {
        if (unit->body() && unit->body()->isSpeaking()) return true;
    }
    return false;
}

BrainOptions programOptions(std::function<void()> wake) {
    BrainOptions options;
    options.reportError = [](const std::string& text) { kiro::app::reportError(text, "exception"); };
    options.wake = std::move(wake);
    options.waitForStart = true;
    return options;
}

}  // namespace

Unit::Unit(kiro::ui::Window* owner, const std::wstring& name, std::function<void()> wake)
    : Unit(owner, name, programOptions(std::move(wake))) {}

Unit::Unit(kiro::ui::Window* owner, const std::wstring& name, BrainOptions options) {
    brain_ = std::make_unique<Brain>(L"units\\" + name + L"\\brain\\", std::move(options));
    brain_->post(events::unitWakeup());
    body_ = std::make_unique<Body>(owner, L"units\\" + name + L"\\body\\", brain_.get());
    registry().insert(this);
}

Unit::~Unit() {
    registry().erase(this);
    body_.reset();
    brain_.reset();
}

void Unit::update(float seconds) {
    body_->update(seconds);
    if (!brainStarted_ && body_->painted()) {
        brain_->start();
        brainStarted_ = true;
    }
    float fraction = 0;
    loading_ = brain_->progress(fraction);
    if (loading_) {
        body_->showStatus(kiro::format(L"initializing %.1f %%", fraction * 100.0));
    }
    brain_->setQuiet(anyoneSpeaking());
    // The brain's worker saw the quiet rule a while ago: a conversation line waits here while
    // any character talks, so that two whose silence ends together do not talk at once.
    if (muted_) held_.reset();
    if (held_ && !anyoneSpeaking()) {
        body_->speak(held_->text, held_->action);
        held_.reset();
    }
    Response response;
    if (brain_->poll(response) && !muted_) {
        if (response.chatter && anyoneSpeaking()) {
            held_ = std::move(response);
        } else {
            body_->speak(response.text, response.action);
        }
    }
}

void Unit::animate(float seconds) { body_->update(seconds); }

uint32_t Unit::ticksUntilDue() const {
    if (!brainStarted_ || loading_ || held_ || brain_->hasResponse()) return 1;
    return body_->ticksUntilDue();
}

void Unit::post(const EventMessage& message) { brain_->post(message); }

}  // namespace tavi

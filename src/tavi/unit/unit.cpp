// Units: building body and brain, carrying responses to the body, and the quiet rule that keeps
// two characters from talking over one another.
#include "tavi/unit/unit.h"

#include <unordered_set>

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

BrainOptions withErrorBox() {
    BrainOptions options;
    options.reportError = [](const std::string& text) { kiro::app::reportError(text, "exception"); };
    return options;
}

}  // namespace

Unit::Unit(kiro::ui::Window* owner, const std::wstring& name) : Unit(owner, name, withErrorBox()) {}

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
    float fraction = 0;
    if (brain_->progress(fraction)) {
        body_->showStatus(kiro::format(L"initializing %.1f %%", fraction * 100.0));
    }
    brain_->setQuiet(anyoneSpeaking());
    Response response;
    if (brain_->poll(response) && !muted_) {
        body_->speak(response.text, response.action);
    }
}

void Unit::post(const EventMessage& message) { brain_->post(message); }

}  // namespace tavi

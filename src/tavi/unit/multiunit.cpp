// The set of units named by the bootstrap file.
#include <algorithm>

#include "kiro/exception.h"
#include "kiro/io/jsonfile.h"
#include "tavi/body/body.h"
#include "tavi/ticks.h"
#include "tavi/unit/unit.h"

namespace tavi {

MultiUnit::MultiUnit(kiro::ui::Window* owner, std::function<void()> wake) {
    kiro::io::JsonFile bootstrap(L"units\\bootstrap.json");
    for (const auto& name : bootstrap.root()[L"units"].array_items()) {
        units_.push_back(std::make_unique<Unit>(owner, name.string_value(), wake));
    }
    if (units_.empty()) KIRO_THROW("tavi::MultiUnit::MultiUnit", "ERROR_UnitNotFound");
    primary_ = units_.front().get();
}

MultiUnit::~MultiUnit() {
    while (!units_.empty()) units_.erase(units_.begin());
}

void MultiUnit::update(float seconds) {
    for (auto& unit : units_) unit->update(seconds);
}

void MultiUnit::animate(float seconds) {
    for (auto& unit : units_) unit->animate(seconds);
}

uint32_t MultiUnit::ticksUntilDue() const {
    uint32_t due = NeverDue;
    for (const auto& unit : units_) due = std::min(due, unit->ticksUntilDue());
    return due;
}

void MultiUnit::setMute(bool muted) {
    for (auto& unit : units_) unit->setMute(muted);
}

void MultiUnit::post(const EventMessage& message) {
    for (auto& unit : units_) unit->post(message);
}

Body* MultiUnit::primaryBody() const { return primary_ ? primary_->body() : nullptr; }

}  // namespace tavi

// One character on the desktop: a body window and a brain, wired together each tick.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tavi/brain.h"

namespace kiro::ui {
class Window;
}

namespace tavi {

class Body;

class Unit {
public:
    // Builds the brain from "units\<name>\brain\", wakes it, then the body from "...\body\".
    // An exception that ends the brain's worker is shown in a box captioned "exception".
    Unit(kiro::ui::Window* owner, const std::wstring& name);
    Unit(kiro::ui::Window* owner, const std::wstring& name, BrainOptions options);
    virtual ~Unit();

    Unit(const Unit&) = delete;
    Unit& operator=(const Unit&) = delete;

    void update(float seconds);
    void setMute(bool muted) { muted_ = muted; }
    bool muted() const { return muted_; }
    void post(const EventMessage& message);
    Body* body() const { return body_.get(); }

private:
    std::unique_ptr<Brain> brain_;
    std::unique_ptr<Body> body_;
    bool muted_ = false;
};

// The characters named in "units\bootstrap.json", in that order; the first is the primary.
class MultiUnit {
public:
    explicit MultiUnit(kiro::ui::Window* owner);
    ~MultiUnit();

    void update(float seconds);
    void setMute(bool muted);
    void post(const EventMessage& message);
    Body* primaryBody() const;
    const std::vector<std::unique_ptr<Unit>>& units() const { return units_; }

private:
    std::vector<std::unique_ptr<Unit>> units_;
    Unit* primary_ = nullptr;
};

}  // namespace tavi

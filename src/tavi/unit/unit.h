// One character on the desktop: a body window and a brain, wired together each tick.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
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
    // An exception that ends the brain's worker is shown in a box captioned "exception"; the
    // brain calls wake when a response waits and starts loading after the body's first paint.
    Unit(kiro::ui::Window* owner, const std::wstring& name, std::function<void()> wake = nullptr);
    Unit(kiro::ui::Window* owner, const std::wstring& name, BrainOptions options);
    virtual ~Unit();

    Unit(const Unit&) = delete;
    Unit& operator=(const Unit&) = delete;

    // One tick: the body, the loading line, the quiet rule and at most one response.
    void update(float seconds);
    // A tick in which nothing was due: only the body's counts move.
    void animate(float seconds);
    // Ticks until the unit next needs a full tick; NeverDue when only a wake-up can bring one.
    uint32_t ticksUntilDue() const;
    void setMute(bool muted) { muted_ = muted; }
    bool muted() const { return muted_; }
    void post(const EventMessage& message);
    Body* body() const { return body_.get(); }

private:
    std::unique_ptr<Brain> brain_;
    std::unique_ptr<Body> body_;
    bool muted_ = false;
    bool brainStarted_ = false;
    bool loading_ = true;
    // A conversation line that came while another character was talking.
    std::optional<Response> held_;
};

// The characters named in "units\bootstrap.json", in that order; the first is the primary.
class MultiUnit {
public:
    // wake goes to every brain (see Unit).
    explicit MultiUnit(kiro::ui::Window* owner, std::function<void()> wake = nullptr);
    ~MultiUnit();

    void update(float seconds);
    void animate(float seconds);
    uint32_t ticksUntilDue() const;
    void setMute(bool muted);
    void post(const EventMessage& message);
    Body* primaryBody() const;
    const std::vector<std::unique_ptr<Unit>>& units() const { return units_; }

private:
    std::vector<std::unique_ptr<Unit>> units_;
    Unit* primary_ = nullptr;
};

}  // namespace tavi

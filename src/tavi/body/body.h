// A character's visible figure: a per-pixel-transparent window showing one picture of its skin
// at a time, with a speech balloon beside it and a short status line over it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "kiro/ui/window.h"

namespace tavi {

class BrainInterface;

class Body : public kiro::ui::Window {
public:
    class Skin;
    class Textbox;
    class StatusLine;
    class GrabCursors;

    // folder ends with a backslash; throws kiro::Exception when the skin has no motions.
    Body(kiro::ui::Window* owner, const std::wstring& folder, BrainInterface* brain);
    ~Body() override;

    // One tick; the first one after the first paint also loads the rest of the skin.
    void update(float seconds);
    void speak(const std::wstring& text, const std::wstring& action);
    void showStatus(const std::wstring& text);
    bool isSpeaking() const;
    // Ticks of update(TickSeconds) until anything shown next changes (the motion's picture,
    // the balloon, the status line, the switch from "standby" to "idle"); NeverDue when
    // nothing will change by itself. The ticks before it only move counts.
    uint32_t ticksUntilDue() const;
    // Whether the body has been painted at least once.
    bool painted() const { return painted_; }

    Skin& skin() const { return *skin_; }
    Textbox& balloon() const { return *balloon_; }
    const StatusLine& status() const { return *status_; }

    kiro::ui::LResult onMessage(std::uint32_t msg, kiro::ui::WParam wParam,
                                kiro::ui::LParam lParam) override;
    kiro::ui::LResult onClose() override;
    kiro::ui::LResult onPaint(kiro::ui::Canvas& canvas) override;
    kiro::ui::LResult onMoving(kiro::ui::Rect* rect) override;
    kiro::ui::LResult onMove(int x, int y) override;
    kiro::ui::LResult onKeyDown(std::uint32_t vk) override;
    kiro::ui::LResult onSetCursor(std::uint32_t mouseMsg) override;

private:
    void loadRestOfSkin();

    std::unique_ptr<Skin> skin_;
    std::unique_ptr<Textbox> balloon_;
    std::unique_ptr<StatusLine> status_;
    std::unique_ptr<GrabCursors> cursors_;
    BrainInterface* brain_;
    bool painted_ = false;
};

}  // namespace tavi

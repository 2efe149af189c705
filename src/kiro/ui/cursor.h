// Mouse cursors loaded from .cur files, and showing one over a window.
#pragma once

#include <memory>
#include <string>

namespace kiro::ui {

class Window;

class Cursor {
public:
    // A missing or unreadable file gives an invalid cursor, which shows no cursor.
    explicit Cursor(const std::wstring& path);
    ~Cursor();
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    bool valid() const { return native_ != nullptr; }

    struct Native;
    Native* native() const { return native_.get(); }

private:
    std::unique_ptr<Native> native_;
};

// Shows cursor over window until another is set; null restores the default arrow.
void setCursor(Window& window, const Cursor* cursor);

}  // namespace kiro::ui

// Mouse cursors: loaded from cursor files or taken from the system, and shown over a window
// while it answers the cursor question (onSetCursor).
#pragma once

#include <memory>
#include <string>

namespace kiro::ui {

class Cursor {
public:
    // A cursor file (.cur, with its hot spot; .ico and .png also read); null when the file is
    // missing or cannot be decoded.
    static std::unique_ptr<Cursor> fromFile(const std::wstring& path);
    // The system's pointing-hand and arrow cursors.
    static const Cursor& hand();
    static const Cursor& arrow();

    ~Cursor();
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    struct Native;
    Native* native() const { return native_.get(); }

private:
    explicit Cursor(std::unique_ptr<Native> native);
    std::unique_ptr<Native> native_;
};

// Shows cursor over the window that is answering the cursor question (or that last asked);
// null shows no cursor.
void setCursor(const Cursor* cursor);

}  // namespace kiro::ui

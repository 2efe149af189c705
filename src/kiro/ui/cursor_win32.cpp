// Windows backend of cursors. Implements: cursor files (.cur and .ico through LoadImageW, with
// their hot spot; other images through GDI+, with the hot spot at the top-left corner), the
// system's hand and arrow, and setCursor (SetCursor, for the window answering WM_SETCURSOR).
#include "kiro/ui/cursor.h"

#include "kiro/ui/toolkit_win32.h"
#include "kiro/ui/window_win32.h"

namespace kiro::ui {

struct Cursor::Native {
    HCURSOR cursor = nullptr;
    bool owned = false;  // made from a file, so destroyed with the Cursor (system ones are shared)
    ~Native() {
        if (owned && cursor) DestroyCursor(cursor);
    }
};

namespace {

HCURSOR cursorFromImage(const std::wstring& path) {
    toolkit();  // GDI+ runs
    Gdiplus::Bitmap image(path.c_str(), FALSE);
    HICON icon = nullptr;
    if (image.GetLastStatus() != Gdiplus::Ok || image.GetHICON(&icon) != Gdiplus::Ok) return nullptr;
    ICONINFO info = {};
    HCURSOR cursor = nullptr;
    if (GetIconInfo(icon, &info)) {
        info.fIcon = FALSE;
        info.xHotspot = 0;
        info.yHotspot = 0;
        cursor = CreateIconIndirect(&info);
        if (info.hbmMask) DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
    }
    DestroyIcon(icon);
    return cursor;
}

std::unique_ptr<Cursor::Native> shared(const wchar_t* id) {
    auto n = std::make_unique<Cursor::Native>();
    n->cursor = LoadCursorW(nullptr, id);
    return n;
}

}  // namespace

Cursor::Cursor(std::unique_ptr<Native> native) : native_(std::move(native)) {}
Cursor::~Cursor() = default;

std::unique_ptr<Cursor> Cursor::fromFile(const std::wstring& path) {
    auto n = std::make_unique<Native>();
    n->owned = true;
    n->cursor = static_cast<HCURSOR>(LoadImageW(nullptr, path.c_str(), IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE));
    if (!n->cursor) n->cursor = cursorFromImage(path);
    if (!n->cursor) return nullptr;
    return std::unique_ptr<Cursor>(new Cursor(std::move(n)));
}

const Cursor& Cursor::hand() {
    static const Cursor cursor(shared(IDC_HAND));
    return cursor;
}

const Cursor& Cursor::arrow() {
    static const Cursor cursor(shared(IDC_ARROW));
    return cursor;
}

HCURSOR hcursorOf(const Cursor& cursor) {
    return cursor.native()->cursor;
}

void setCursor(const Cursor* cursor) {
    SetCursor(cursor ? cursor->native()->cursor : nullptr);
}

}  // namespace kiro::ui

// Win32 backend of the text-entry control: a rich-edit control (RICHEDIT50W from
// msftedit.dll), or a plain multi-line EDIT control where that library is missing, subclassed
// so that its key presses can be forwarded to the parent window.
//
// Implements: text in and out (line feeds in, CR LF in the control), caret at the end, font,
//   bounds, focus, key forwarding (VK_PROCESSKEY while an input method composes), the text
//   kept after the parent has taken the control with it. Rich edit runs as plain text, and
//   neither control is held to its default length limit (a long note is never cut).
// Lacks: nothing.
#include <windows.h>
#include <richedit.h>

#include <cwchar>
#include <vector>

#include "kiro/ui/editbox.h"
#include "kiro/ui/window.h"

namespace kiro::ui {

struct EditBox::Native {
    HMODULE library = nullptr;  // msftedit.dll, or null for the plain control
    HWND control = nullptr;     // null once destroyed (with the parent, or by us)
    HFONT font = nullptr;
    WNDPROC previous = nullptr;  // the control's own procedure
};

namespace {

constexpr DWORD RichStyle = 0x513000C4;   // child, visible, both scroll bars, selection bar, multi-line, auto-scroll
constexpr DWORD PlainStyle = 0x503000C4;  // the same without the selection bar
static_assert(RichStyle == (WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_SELECTIONBAR |
                            ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL));
static_assert(PlainStyle == (RichStyle & ~DWORD(ES_SELECTIONBAR)));

std::wstring controlText(HWND control) {
    const int length = GetWindowTextLengthW(control);
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
    const int n = GetWindowTextW(control, buffer.data(), length + 1);
    // Rich edit ends its paragraphs with CR alone or with CR LF, depending on how the text is
    // read; both become a line feed.
    return EditBox::toLineFeeds(std::wstring(buffer.data(), n > 0 ? n : 0));
}

}  // namespace

EditBox::EditBox(Window& parent) : parent_(&parent), native_(std::make_unique<Native>()) {
    Native& n = *native_;
    n.library = LoadLibraryW(L"msftedit.dll");
    const wchar_t* cls = n.library != nullptr ? MSFTEDIT_CLASS : L"EDIT";
    const DWORD style = n.library != nullptr ? RichStyle : PlainStyle;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    n.control = CreateWindowExW(0, cls, nullptr, style, 0, 0, 16, 16,
                                static_cast<HWND>(parent.handle()), nullptr, instance, nullptr);
    if (n.control == nullptr && n.library != nullptr) {
        // The library loaded but its class would not make a control: the plain one then.
        FreeLibrary(n.library);
        n.library = nullptr;
        n.control = CreateWindowExW(0, L"EDIT", nullptr, PlainStyle, 0, 0, 16, 16,
                                    static_cast<HWND>(parent.handle()), nullptr, instance, nullptr);
    }
    if (n.control != nullptr) {
        if (n.library != nullptr) {
            SendMessageW(n.control, EM_SETTEXTMODE, TM_PLAINTEXT, 0);
            SendMessageW(n.control, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
        } else {
            SendMessageW(n.control, EM_SETLIMITTEXT, 0, 0);  // 0: as long as the system allows
        }
        // The subclass procedure reaches the box through the control's user data. (A lambda
        // here may use the box's private members; x64 has a single calling convention.)
        WNDPROC procedure = [](HWND control, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
            auto* self = reinterpret_cast<EditBox*>(GetWindowLongPtrW(control, GWLP_USERDATA));
            if (self == nullptr) return DefWindowProcW(control, msg, wParam, lParam);
            Native& box = *self->native_;
            const WNDPROC previous = box.previous;
            if (msg == WM_KEYDOWN && self->forwardMessage_ != 0) {
                PostMessageW(GetParent(control), self->forwardMessage_, wParam, lParam);
            }
            if (msg == WM_DESTROY) {
                // The parent is taking the control with it: keep its text readable.
                self->text_ = controlText(control);
                SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
                SetWindowLongPtrW(control, GWLP_USERDATA, 0);
                box.control = nullptr;
            }
            return CallWindowProcW(previous, control, msg, wParam, lParam);
        };
        SetWindowLongPtrW(n.control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        n.previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(n.control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
    }
    setFont(nullptr, 17);
}

EditBox::~EditBox() {
    Native& n = *native_;
    if (n.control != nullptr) {
        SetWindowLongPtrW(n.control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(n.previous));
        SetWindowLongPtrW(n.control, GWLP_USERDATA, 0);
        DestroyWindow(n.control);
    }
    if (n.font != nullptr) DeleteObject(n.font);
    if (n.library != nullptr) FreeLibrary(n.library);
}

void EditBox::setText(const std::wstring& text) {
    text_ = toLineFeeds(text);
    HWND control = native_->control;
    if (control == nullptr) return;
    std::wstring shown;
    shown.reserve(text_.size() + text_.size() / 16);
    for (wchar_t c : text_) {
        if (c == L'\n') shown.push_back(L'\r');
        shown.push_back(c);
    }
    SetWindowTextW(control, shown.c_str());
    // Rich edit counts a line end as one position; a position past the end stands for the end.
    const auto end = static_cast<WPARAM>(shown.size());
    SendMessageW(control, EM_SETSEL, end, static_cast<LPARAM>(end));
    SendMessageW(control, EM_SCROLLCARET, 0, 0);
}

const std::wstring& EditBox::getText() {
    if (native_->control != nullptr) text_ = controlText(native_->control);
    return text_;
}

void EditBox::setFont(const wchar_t* face, int height) {
    Native& n = *native_;
    LOGFONTW font{};
    font.lfHeight = height;
    std::wcsncpy(font.lfFaceName, face != nullptr ? face : defaultFace, maxFace);
    font.lfFaceName[maxFace] = L'\0';
    HFONT made = CreateFontIndirectW(&font);
    if (made == nullptr) return;
    if (n.control != nullptr) {
        SendMessageW(n.control, WM_SETFONT, reinterpret_cast<WPARAM>(made), TRUE);
        InvalidateRect(n.control, nullptr, TRUE);
    }
    if (n.font != nullptr) DeleteObject(n.font);
    n.font = made;
}

void EditBox::setBounds(const Rect& r) {
    HWND control = native_->control;
    if (control == nullptr) return;
    SetWindowPos(control, nullptr, r.left, r.top, r.right, r.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindow(control);
}

void EditBox::focus() {
    if (native_->control != nullptr) SetFocus(native_->control);
}

void EditBox::invalidate() {
    if (native_->control != nullptr) InvalidateRect(native_->control, nullptr, TRUE);
}

void EditBox::setForwardMessage(std::uint32_t msg) { forwardMessage_ = msg; }

}  // namespace kiro::ui

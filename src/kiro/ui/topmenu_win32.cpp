// Win32 backend of the menu bar: the window's menu (CreateMenu / SetMenu); a chosen item
// reaches the window as WM_COMMAND with its id.
//
// Implements: taking the window's bar, adding string items (cut to 63 characters), attaching,
//   clearing. Lacks: nothing.
#include <windows.h>

#include "kiro/ui/topmenu.h"
#include "kiro/ui/window.h"

namespace kiro::ui {

namespace {

HMENU bar(void* menu) { return static_cast<HMENU>(menu); }

HWND hwndOfWindow(const Window* window) {
    return window != nullptr ? static_cast<HWND>(window->handle()) : nullptr;
}

}  // namespace

TopMenu::TopMenu(Window& window) : window_(&window) {
    HMENU existing = GetMenu(hwndOfWindow(window_));
    menu_ = existing != nullptr ? existing : CreateMenu();
}

TopMenu::~TopMenu() {
    if (menu_ == nullptr) return;
    HWND window = hwndOfWindow(window_);
    // The window destroys its own bar; one never attached is ours to drop.
    if (window == nullptr || GetMenu(window) != bar(menu_)) DestroyMenu(bar(menu_));
}

void TopMenu::clear() {
    if (menu_ == nullptr) return;
    HWND window = hwndOfWindow(window_);
    if (window != nullptr && GetMenu(window) == bar(menu_)) {
        SetMenu(window, nullptr);
        DrawMenuBar(window);
    }
    DestroyMenu(bar(menu_));
    menu_ = nullptr;
    window_ = nullptr;
}

void TopMenu::addItem(const std::wstring& label, std::uint32_t id) {
    if (menu_ == nullptr) return;
    const std::wstring text = label.substr(0, maxLabel);
    AppendMenuW(bar(menu_), MF_STRING, id, text.c_str());
}

void TopMenu::attach() {
    HWND window = hwndOfWindow(window_);
    if (menu_ == nullptr || window == nullptr) return;
    HMENU previous = GetMenu(window);
    SetMenu(window, bar(menu_));
    DrawMenuBar(window);
    if (previous != nullptr && previous != bar(menu_)) DestroyMenu(previous);
}

}  // namespace kiro::ui

// Win32 backend of the context menu: a popup menu built from the item tree, shown with
// TrackPopupMenuEx at the pointer; its modal loop keeps dispatching timers meanwhile.
//
// Implements: submenus, separators, greyed entries, check marks, labels with "&" access keys
//   (cut to 126 characters), the opening direction from the pointer's place in the work area,
//   the chosen command number. Lacks: nothing.
#include <windows.h>

#include "kiro/ui/contextmenu.h"
#include "kiro/ui/window.h"

namespace kiro::ui {

namespace {

class Win32MenuBuilder : public ContextMenu::Builder {
public:
    explicit Win32MenuBuilder(HMENU menu) { menus_.push_back(menu); }

    void beginSubmenu(const ContextMenu::Item& item) override {
        HMENU sub = CreatePopupMenu();
        MENUITEMINFOW info = describe(item);
        info.fMask |= MIIM_SUBMENU;
        info.hSubMenu = sub;
        insert(info);
        menus_.push_back(sub);
    }

    void endSubmenu() override { menus_.pop_back(); }

    void separator() override {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        info.fType = MFT_SEPARATOR;
        insert(info);
    }

    void entry(const ContextMenu::Item& item, uint32_t number) override {
        MENUITEMINFOW info = describe(item);
        if (number == 0) {
            info.fState |= MFS_DISABLED | MFS_GRAYED;
        } else {
            info.fMask |= MIIM_ID;
            info.wID = number;
        }
        insert(info);
    }

private:
    // A string entry with the item's label and state; the label lives in label_ until the
    // entry is inserted (InsertMenuItemW copies it).
    MENUITEMINFOW describe(const ContextMenu::Item& item) {
        label_ = item.label.substr(0, ContextMenu::maxLabel);
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING | MIIM_STATE;
        info.dwTypeData = label_.data();
        if (item.checked) info.fState |= MFS_CHECKED;
        if (item.disabled) info.fState |= MFS_DISABLED | MFS_GRAYED;
        return info;
    }

    void insert(const MENUITEMINFOW& info) {
        HMENU menu = menus_.back();
        InsertMenuItemW(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &info);
    }

    std::vector<HMENU> menus_;
    std::wstring label_;
};

// A hidden window of the UI thread to own a menu shown for nobody in particular:
// TrackPopupMenuEx needs one.
HWND fallbackOwner() {
    static HWND window = [] {
        WNDCLASSW cls{};
        cls.lpfnWndProc = DefWindowProcW;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.lpszClassName = L"kiro-menu-owner";
        RegisterClassW(&cls);
        return CreateWindowExW(WS_EX_TOOLWINDOW, cls.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0,
                               nullptr, nullptr, cls.hInstance, nullptr);
    }();
    return window;
}

}  // namespace

uint32_t ContextMenu::popup(std::vector<Item>& items, std::vector<Item*>& commands, Window* owner) {
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) return 0;
    Win32MenuBuilder builder(menu);
    build(items, builder, commands);

    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    POINT at{};
    GetCursorPos(&at);
    const Alignment align = alignmentAt(at.x, at.y, area.left, area.top, area.right, area.bottom);
    UINT flags = TPM_RETURNCMD | TPM_NONOTIFY;
    if (align.right) flags |= TPM_RIGHTALIGN;
    if (align.bottom) flags |= TPM_BOTTOMALIGN;

    HWND window = owner != nullptr ? static_cast<HWND>(owner->handle()) : nullptr;
    if (window == nullptr) window = fallbackOwner();
    // A menu whose owner is not the foreground window stays open when the user clicks
    // elsewhere; the empty message afterwards lets the next click through at once.
    SetForegroundWindow(window);
    const UINT chosen = static_cast<UINT>(TrackPopupMenuEx(menu, flags, at.x, at.y, window, nullptr));
    PostMessageW(window, WM_NULL, 0, 0);
    DestroyMenu(menu);
    return chosen;
}

}  // namespace kiro::ui

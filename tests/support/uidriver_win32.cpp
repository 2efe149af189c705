// The UI driver's half on Windows: the thread's message queue, thread timers, input through
// SendInput, and menus and menu bars read from their windows and menus.
#include <windows.h>

#include <shlobj.h>

#include <cstring>
#include <map>

#include "kiro/ui/window_win32.h"
#include "support/uidriver.h"

namespace uitest {

namespace {

void mouse(DWORD flags, LONG x = 0, LONG y = 0, DWORD data = 0) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi = MOUSEINPUT{x, y, data, flags, 0, 0};
    SendInput(1, &in, sizeof in);
}

void keyEvent(WORD vk, DWORD flags, wchar_t c = 0) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki = KEYBDINPUT{vk, WORD(c), flags, 0, 0};
    SendInput(1, &in, sizeof in);
}

// A menu's item labels as shown: "&" marks an access key, "&&" is one ampersand.
std::vector<std::wstring> labelsOf(HMENU menu) {
    std::vector<std::wstring> labels;
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = {};
        if (GetMenuStringW(menu, UINT(i), text, 256, MF_BYPOSITION) <= 0) continue;  // a separator
        std::wstring shown;
        for (const wchar_t* p = text; *p; ++p)
            if (*p != L'&' || *++p) shown += *p;
        labels.push_back(shown);
    }
    return labels;
}

std::map<UINT_PTR, std::function<bool()>> timers;  // the actions of every()

}  // namespace

bool backend::step() {
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
}

void backend::combination(const std::vector<std::string>& held) {
    static const std::map<std::string, WORD> named = {
        {"Return", VK_RETURN}, {"Escape", VK_ESCAPE}, {"Tab", VK_TAB},   {"space", VK_SPACE},
        {"Up", VK_UP},         {"Down", VK_DOWN},     {"Left", VK_LEFT}, {"Right", VK_RIGHT},
        {"ctrl", VK_CONTROL},  {"shift", VK_SHIFT},   {"alt", VK_MENU}};
    std::vector<WORD> codes;
    for (const std::string& k : held)
        codes.push_back(named.count(k) ? named.at(k) : WORD(LOBYTE(VkKeyScanW(wchar_t(k[0])))));
    for (WORD vk : codes) keyEvent(vk, 0);
    for (auto vk = codes.rbegin(); vk != codes.rend(); ++vk) keyEvent(*vk, KEYEVENTF_KEYUP);
}

// Thread timers fire in every message loop of the thread, the modal ones of menus included.
void every(unsigned ms, std::function<bool()> action) {
    const UINT_PTR id = SetTimer(nullptr, 0, ms, [](HWND, UINT, UINT_PTR id, DWORD) {
        auto it = timers.find(id);
        if (it != timers.end() && !it->second()) {
            KillTimer(nullptr, id);
            timers.erase(id);
        }
    });
    timers[id] = std::move(action);
}

void moveTo(int x, int y) {
    const int w = GetSystemMetrics(SM_CXSCREEN) - 1, h = GetSystemMetrics(SM_CYSCREEN) - 1;
    mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, LONG((x * 65535 + w / 2) / w), LONG((y * 65535 + h / 2) / h));
}

// Each button's release flag is the bit after its press flag.
void button(int which, bool down) {
    mouse((which == 1 ? MOUSEEVENTF_LEFTDOWN : which == 2 ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_RIGHTDOWN) << !down);
}

void wheel(int notches) {
    mouse(MOUSEEVENTF_WHEEL, 0, 0, DWORD(notches * WHEEL_DELTA));
}

// A drop of these paths as the shell hands it to a window: DROPFILES, then the paths, each
// ended by a zero, and one zero more.
void dropFiles(kiro::ui::Window& window, const std::vector<std::wstring>& paths) {
    std::wstring list;
    for (const std::wstring& p : paths) list += p + L'\0';
    const std::size_t bytes = (list.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(drop + 1, list.c_str(), bytes);
    GlobalUnlock(memory);
    SendMessageW(kiro::ui::hwndOf(window), WM_DROPFILES, WPARAM(memory), 0);
}

void type(const std::wstring& text) {
    for (wchar_t c : text) {
        keyEvent(0, KEYEVENTF_UNICODE, c);
        keyEvent(0, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP, c);
    }
}

std::uint32_t screenPixel(int x, int y) {
    HDC dc = GetDC(nullptr);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(nullptr, dc);
    return std::uint32_t(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
}

bool backend::menuOpen(MenuSeen* menu) {
    HWND popup = FindWindowExW(nullptr, nullptr, L"#32768", nullptr);  // the class of popup menu windows
    while (popup != nullptr && !IsWindowVisible(popup)) popup = FindWindowExW(nullptr, popup, L"#32768", nullptr);
    if (popup == nullptr) return false;
    RECT r{};
    GetWindowRect(popup, &r);
    menu->frame = kiro::ui::Rect{r.left, r.top, r.right, r.bottom};
    const HMENU items = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
    menu->labels = labelsOf(items);
    for (int i = 0; items && i < GetMenuItemCount(items); ++i) {
        const UINT state = GetMenuState(items, UINT(i), MF_BYPOSITION);
        if (!(state & MF_SEPARATOR)) menu->usable.push_back(!(state & (MF_GRAYED | MF_DISABLED)));
    }
    return true;
}

std::vector<std::wstring> menuBar(kiro::ui::Window& window) {
    return labelsOf(GetMenu(kiro::ui::hwndOf(window)));
}

void clickMenuBar(kiro::ui::Window& window, size_t item) {
    RECT r{};
    const HWND hwnd = kiro::ui::hwndOf(window);
    if (GetMenuItemRect(hwnd, GetMenu(hwnd), UINT(item), &r))
        backend::clickCentre(kiro::ui::Rect{r.left, r.top, r.right, r.bottom});
}

}  // namespace uitest

// The test driver on Windows: the thread's message queue, thread timers, input through
// SendInput, and menus, message boxes and menu bars read from their windows and menus.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <map>
#include <sstream>
#include <thread>

#include "kiro/ui/loop.h"
#include "kiro/ui/window_win32.h"
#include "support/uidriver.h"

namespace uitest {

namespace {

void send(INPUT input) {
    SendInput(1, &input, sizeof input);
}

void mouse(DWORD flags, LONG x = 0, LONG y = 0, DWORD data = 0) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi = MOUSEINPUT{x, y, data, flags, 0, 0};
    send(in);
}

void keyEvent(WORD vk, DWORD flags, wchar_t c = 0) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki = KEYBDINPUT{vk, WORD(c), flags, 0, 0};
    send(in);
}

void sendKeys(const std::string& names) {
    static const std::map<std::string, WORD> named = {
        {"Return", VK_RETURN}, {"Escape", VK_ESCAPE}, {"Tab", VK_TAB},   {"space", VK_SPACE},
        {"Up", VK_UP},         {"Down", VK_DOWN},     {"Left", VK_LEFT}, {"Right", VK_RIGHT},
        {"ctrl", VK_CONTROL},  {"shift", VK_SHIFT},   {"alt", VK_MENU}};
    auto vkOf = [](const std::string& name) {
        return named.count(name) ? named.at(name) : WORD(LOBYTE(VkKeyScanW(wchar_t(name[0]))));
    };
    std::istringstream in(names);
    std::string combination;
    while (in >> combination) {  // "ctrl+shift+u": the modifiers held around the last key
        std::vector<WORD> held;
        for (size_t plus; (plus = combination.find('+')) != std::string::npos; combination.erase(0, plus + 1))
            held.push_back(vkOf(combination.substr(0, plus)));
        held.push_back(vkOf(combination));
        for (WORD vk : held) keyEvent(vk, 0);
        for (auto vk = held.rbegin(); vk != held.rend(); ++vk) keyEvent(*vk, KEYEVENTF_KEYUP);
    }
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

HWND visibleOfClass(const wchar_t* className) {
    HWND found = nullptr;
    while ((found = FindWindowExW(nullptr, found, className, nullptr)) != nullptr)
        if (IsWindowVisible(found)) return found;
    return nullptr;
}

void clickAt(const RECT& r) {
    moveTo((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    click(1);
}

std::map<UINT_PTR, std::function<bool()>>& timers() {
    static std::map<UINT_PTR, std::function<bool()>> actions;
    return actions;
}

}  // namespace

bool start() {
    return kiro::ui::initializeToolkit();
}

void pump(int ms) {
    waitUntil([] { return false; }, ms);
}

bool waitUntil(const std::function<bool()>& done, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(2);
    }
    return true;
}

// Thread timers fire in every message loop of the thread, the modal ones of menus included.
void every(unsigned ms, std::function<bool()> action) {
    const UINT_PTR id = SetTimer(nullptr, 0, ms, [](HWND, UINT, UINT_PTR id, DWORD) {
        auto it = timers().find(id);
        if (it != timers().end() && !it->second()) {
            KillTimer(nullptr, id);
            timers().erase(id);
        }
    });
    timers()[id] = std::move(action);
}

void moveTo(int x, int y) {
    const int w = GetSystemMetrics(SM_CXSCREEN) - 1, h = GetSystemMetrics(SM_CYSCREEN) - 1;
    mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, LONG((x * 65535 + w / 2) / w), LONG((y * 65535 + h / 2) / h));
}

void press(int button) {
    mouse(button == 1 ? MOUSEEVENTF_LEFTDOWN : button == 2 ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_RIGHTDOWN);
}

void release(int button) {
    mouse(button == 1 ? MOUSEEVENTF_LEFTUP : button == 2 ? MOUSEEVENTF_MIDDLEUP : MOUSEEVENTF_RIGHTUP);
}

void click(int button, int count) {
    for (int i = 0; i < count; ++i) {
        press(button);
        release(button);
    }
}

void wheel(int notches) {
    mouse(MOUSEEVENTF_WHEEL, 0, 0, DWORD(notches * WHEEL_DELTA));
}

void focus(kiro::ui::Window& window) { SetForegroundWindow(kiro::ui::hwndOf(window)); }

void keys(const std::string& names) {
    sendKeys(names);
}

void type(const std::wstring& text) {
    for (wchar_t c : text) {
        keyEvent(0, KEYEVENTF_UNICODE, c);
        keyEvent(0, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP, c);
    }
}

void whenMenuOpen(std::function<void(const MenuSeen&)> action) {
    every(20, [action = std::move(action)] {
        HWND popup = visibleOfClass(L"#32768");  // the class of popup menu windows
        if (popup == nullptr) return true;
        MenuSeen menu;
        RECT r{};
        GetWindowRect(popup, &r);
        menu.frame = kiro::ui::Rect{r.left, r.top, r.right, r.bottom};
        const HMENU items = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
        menu.labels = labelsOf(items);
        for (int i = 0; items && i < GetMenuItemCount(items); ++i)
            if (!(GetMenuState(items, UINT(i), MF_BYPOSITION) & MF_SEPARATOR))
                menu.usable.push_back(!(GetMenuState(items, UINT(i), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)));
        action(menu);
        return false;
    });
}

bool boxOpen() {
    return visibleOfClass(L"#32770") != nullptr;
}

void answerBox(BoxSeen* seen, int response) {
    every(20, [seen, response] {
        HWND box = visibleOfClass(L"#32770");  // the class of dialog boxes
        HWND button = box ? GetDlgItem(box, response) : nullptr;
        if (button == nullptr) return true;
        wchar_t text[1024] = {};
        seen->seen = true;
        GetWindowTextW(box, text, 1024);
        seen->caption = text;
        GetDlgItemTextW(box, 0xFFFF, text, 1024);  // the box's message is its static control
        seen->text = text;
        RECT r{};
        GetWindowRect(button, &r);
        clickAt(r);
        return false;
    });
}

std::vector<std::wstring> menuBar(kiro::ui::Window& window) {
    return labelsOf(GetMenu(kiro::ui::hwndOf(window)));
}

void clickMenuBar(kiro::ui::Window& window, size_t item) {
    RECT r{};
    const HWND hwnd = kiro::ui::hwndOf(window);
    if (GetMenuItemRect(hwnd, GetMenu(hwnd), UINT(item), &r)) clickAt(r);
}

struct Rescue::State {
    std::atomic<bool> done{false};
    std::atomic<bool> fired{false};
    std::thread thread;
};

Rescue::Rescue(int ms) : state_(new State) {
    state_->thread = std::thread([s = state_, ms] {
        for (int t = 0; t < ms && !s->done; t += 20) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (s->done) return;
        s->fired = true;
        sendKeys("Escape");  // input may come from any thread
    });
}

Rescue::~Rescue() {
    state_->done = true;
    state_->thread.join();
    delete state_;
}

bool Rescue::fired() const {
    return state_->fired;
}

}  // namespace uitest

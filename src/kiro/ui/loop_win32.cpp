// Windows backend of the toolkit's start and loop, and the home of its process-wide state.
// Implements: initializeToolkit (module instance, the window class, GDI+, the task window),
// finalizeToolkit (private fonts, GDI+ shut-down, class unregistered), the GetMessageW loop,
// PostQuitMessage, and tasks posted from other threads to a message-only window. The system's
// own modal loops (TrackPopupMenuEx, MessageBoxW) leave on WM_QUIT and post it on;
// quitRequested lets the toolkit's menus and boxes return at once while the quit is pending.
#include <windows.h>

#include <atomic>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

#include "kiro/ui/loop.h"
#include "kiro/ui/toolkit_win32.h"
#include "kiro/ui/window_native_win32.h"

namespace kiro::ui {

namespace {

Toolkit g_toolkit;
bool g_started = false;
std::thread::id g_uiThread = std::this_thread::get_id();
std::atomic<bool> g_quitting{false};  // quitLoop came and runLoop has not returned yet (read from any thread)

ATOM registerWindowClass(HINSTANCE instance) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = windowProcedure;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = WindowClassName;
    return RegisterClassExW(&wc);
}

// Posted tasks go to a message-only window rather than to the thread: the modal loops of
// menus, message boxes and window moves dispatch messages addressed to windows but drop
// thread messages.
constexpr UINT RunTasks = WM_APP + 0x3F00;

struct TaskQueue {
    std::mutex lock;
    std::deque<std::function<void()>> tasks;
    HWND window = nullptr;   // made on the UI thread; until then tasks wait
    bool signalled = false;  // a RunTasks message is on its way
};

TaskQueue& queue() {
    static TaskQueue q;
    return q;
}

// Under the lock: makes sure one RunTasks message is pending while tasks wait.
void signalLocked(TaskQueue& q) {
    if (q.signalled || q.window == nullptr || q.tasks.empty()) return;
    q.signalled = PostMessageW(q.window, RunTasks, 0, 0) != FALSE;
}

// One task per message, so that a task which opens a nested loop (a message box) leaves the
// tasks after it to that loop, in order.
LRESULT CALLBACK taskWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != RunTasks) return DefWindowProcW(hwnd, msg, wParam, lParam);
    TaskQueue& q = queue();
    std::function<void()> task;
    {
        std::lock_guard<std::mutex> hold(q.lock);
        q.signalled = false;
        if (q.tasks.empty()) return 0;
        task = std::move(q.tasks.front());
        q.tasks.pop_front();
        signalLocked(q);
    }
    task();
    return 0;
}

// Called on the UI thread.
void ensureTaskWindow() {
    TaskQueue& q = queue();
    if (q.window != nullptr) return;
    WNDCLASSW wc{};
    wc.lpfnWndProc = taskWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"kiro.ui.tasks";
    RegisterClassW(&wc);
    HWND window =
        CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    std::lock_guard<std::mutex> hold(q.lock);
    q.window = window;
    signalLocked(q);
}

}  // namespace

bool initializeToolkit() {
    if (g_started) return g_toolkit.windowClass != 0;
    g_started = true;
    g_uiThread = std::this_thread::get_id();
    g_toolkit.instance = GetModuleHandleW(nullptr);
    g_toolkit.windowClass = registerWindowClass(g_toolkit.instance);
    g_toolkit.paintMessage = RegisterWindowMessageW(L"kiro.ui.window.paint");
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&g_toolkit.gdiplusToken, &input, nullptr) != Gdiplus::Ok) g_toolkit.gdiplusToken = 0;
    ensureTaskWindow();
    return g_toolkit.windowClass != 0;
}

void finalizeToolkit() {
    if (!g_started) return;
    g_toolkit.fonts.reset();
    g_toolkit.fontFiles.clear();
    g_toolkit.handedOutFaces.clear();
    if (g_toolkit.gdiplusToken) Gdiplus::GdiplusShutdown(g_toolkit.gdiplusToken);
    g_toolkit.gdiplusToken = 0;
    if (g_toolkit.windowClass) UnregisterClassW(WindowClassName, g_toolkit.instance);
    g_toolkit.windowClass = 0;
    g_started = false;
}

Toolkit& toolkit() {
    initializeToolkit();
    return g_toolkit;
}

bool isUiThread() {
    return std::this_thread::get_id() == g_uiThread;
}

void runLoop() {
    if (isUiThread()) ensureTaskWindow();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    g_quitting = false;
}

void quitLoop() {
    g_quitting = true;
    PostQuitMessage(0);
}

bool quitRequested() { return g_quitting; }

void postToUiThread(std::function<void()> task) {
    if (isUiThread()) ensureTaskWindow();
    TaskQueue& q = queue();
    std::lock_guard<std::mutex> hold(q.lock);
    q.tasks.push_back(std::move(task));
    signalLocked(q);
}

}  // namespace kiro::ui

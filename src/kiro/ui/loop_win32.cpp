// The toolkit start and message loop on Windows: GetMessageW / DispatchMessageW until
// WM_QUIT, PostQuitMessage, and tasks posted from other threads to a message-only window.
#include <windows.h>

#include <deque>
#include <mutex>
#include <thread>
#include <utility>

#include "kiro/ui/loop.h"

namespace kiro::ui {

namespace {

std::thread::id uiThread = std::this_thread::get_id();

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
    uiThread = std::this_thread::get_id();
    ensureTaskWindow();
    return true;
}

bool isUiThread() {
    return std::this_thread::get_id() == uiThread;
}

void runLoop() {
    if (isUiThread()) ensureTaskWindow();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void quitLoop() {
    PostQuitMessage(0);
}

void postToUiThread(std::function<void()> task) {
    if (isUiThread()) ensureTaskWindow();
    TaskQueue& q = queue();
    std::lock_guard<std::mutex> hold(q.lock);
    q.tasks.push_back(std::move(task));
    signalLocked(q);
}

}  // namespace kiro::ui

// Windows backend of the toolkit's start and loop, and the home of its process-wide state.
// Implements: initializeToolkit (module instance, the window class, GDI+), finalizeToolkit
// (private fonts, GDI+ shut-down, class unregistered), the GetMessageW loop, PostQuitMessage.
#include <windows.h>

#include <thread>

#include "kiro/ui/loop.h"
#include "kiro/ui/toolkit_win32.h"
#include "kiro/ui/window_native_win32.h"

namespace kiro::ui {

namespace {

Toolkit g_toolkit;
bool g_started = false;
std::thread::id g_uiThread = std::this_thread::get_id();

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
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void quitLoop() {
    PostQuitMessage(0);
}

}  // namespace kiro::ui

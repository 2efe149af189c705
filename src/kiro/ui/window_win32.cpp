// Windows backend of Window: the window procedure of the toolkit's class and the platform part
// of Window over user32 and IMM32.
// Implements: creation and destruction (link at WM_CREATE, unlink at WM_NCDESTROY), show/hide,
//   invalidate and paint, geometry, z-order, styles, titles, clipboard listening, timers
//   (SetTimer), sent and posted messages, the drag (WM_NCLBUTTONDOWN with HTCAPTION, then one
//   sent WM_LBUTTONUP), pointer entry and exit (TrackMouseEvent), dropped files
//   (DragQueryFileW), disableIme and its undoing at WM_DESTROY (ImmAssociateContextEx).
// Differs: WM_NCHITTEST is answered by the system without reaching the handlers (its answer
//   HTTRANSPARENT is -1, the value of NotHandled); a layered window is painted on a posted
//   request rather than through its update region; setStyle keeps the window's visibility;
//   the drag's move loop is started from the pointer's screen position; the first show of a
//   no-activate window does not activate it.
#include <windows.h>

#include <imm.h>
#include <shellapi.h>  // DragQueryFileW, which WIN32_LEAN_AND_MEAN leaves out

#include <stdexcept>

#include "kiro/ui/canvas.h"
#include "kiro/ui/toolkit_win32.h"
#include "kiro/ui/window_native_win32.h"
#include "kiro/ui/window_win32.h"

namespace kiro::ui {

namespace {

Window* linkedWindow(HWND hwnd) {
    return reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

}  // namespace

LRESULT CALLBACK windowProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CREATE) {
        // The object is still being built: no handler sees creation.
        auto* window = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
        window->native()->hwnd = hwnd;
        return 0;
    }
    Window* window = linkedWindow(hwnd);
    if (!window) return DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCHITTEST) return DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == toolkit().paintMessage) {
        // A paint asked for by invalidate: skipped when a WM_PAINT came first or the window
        // was hidden meanwhile.
        const bool wanted = window->native()->paintQueued && IsWindowVisible(hwnd);
        window->native()->paintQueued = false;
        if (!wanted) return 0;
        msg = WM_PAINT;
        wParam = 0;
        lParam = 0;
    }
    const LRESULT result = window->dispatch(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        window->native()->hwnd = nullptr;
    }
    return result;
}

HWND hwndOf(const Window& window) {
    return window.native() ? window.native()->hwnd : nullptr;
}

Window* windowOf(HWND hwnd) {
    if (!hwnd || GetClassLongPtrW(hwnd, GCW_ATOM) != toolkit().windowClass) return nullptr;
    Window* window = linkedWindow(hwnd);
    return Window::isLive(window) ? window : nullptr;
}

void Window::NativeDeleter::operator()(Native* native) const {
    delete native;
}

void Window::createNative(std::uint32_t style, std::uint32_t exStyle) {
    Toolkit& kit = toolkit();
    if (!kit.windowClass) throw std::runtime_error("kiro::ui::Window::Window can not registered window class.");
    native_.reset(new Native());
    native_->layered = (exStyle & WS_EX_LAYERED) != 0;
    HWND owner = parent_ ? hwndOf(*parent_) : nullptr;
    HWND hwnd =
        CreateWindowExW(exStyle, WindowClassName, L"", style, 0, 0, 320, 240, owner, nullptr, kit.instance, this);
    if (!hwnd) {
        native_.reset();
        throw std::runtime_error("kiro::ui::Window::Window can not create window.");
    }
}

void Window::destroyNative() {
    // The system sends WM_DESTROY to the owned windows first, then to this one.
    if (HWND hwnd = hwndOf(*this)) DestroyWindow(hwnd);
}

WindowHandle Window::handle() const {
    return hwndOf(*this);
}

void Window::show() {
    HWND hwnd = hwndOf(*this);
    if (!hwnd) return;
    if (firstShow_) {
        firstShow_ = false;
        // SW_SHOWNORMAL activates even a no-activate window: a balloon that first opens
        // while the user types into a note would take the keyboard from it.
        ShowWindow(hwnd, (exStyle_ & WS_EX_NOACTIVATE) != 0 ? SW_SHOWNOACTIVATE : SW_SHOWNORMAL);
    } else {
        SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
    invalidate();
}

void Window::hide() {
    if (HWND hwnd = hwndOf(*this)) ShowWindow(hwnd, SW_HIDE);
}

bool Window::isVisible() const {
    return hwndOf(*this) && IsWindowVisible(hwndOf(*this));
}

void Window::invalidate() {
    HWND hwnd = hwndOf(*this);
    if (!hwnd) return;
    if (!native_->layered) {
        InvalidateRect(hwnd, nullptr, TRUE);
        return;
    }
    // The system need not send WM_PAINT to a window whose picture comes from
    // UpdateLayeredWindow (Wine does, Windows may not): a layered window asks itself instead,
    // once however often it is invalidated.
    if (native_->paintQueued) return;
    native_->paintQueued = true;
    PostMessageW(hwnd, toolkit().paintMessage, 0, 0);
}

LResult Window::paint() {
    HWND hwnd = hwndOf(*this);
    ValidateRect(hwnd, nullptr);
    native_->paintQueued = false;
    RECT client = {};
    GetClientRect(hwnd, &client);
    Canvas canvas(client.right, client.bottom);
    const LResult r = onPaint(canvas);
    if (r == 0 && hwndOf(*this)) canvas.present(hwndOf(*this), 0, 0);
    return r;
}

void Window::focus() {
    if (HWND hwnd = hwndOf(*this)) SetFocus(hwnd);
    invalidate();
}

void Window::applyStyle(bool activate) {
    HWND hwnd = hwndOf(*this);
    // The visibility bit is the window's state, not part of its style.
    const DWORD visible = DWORD(GetWindowLongPtrW(hwnd, GWL_STYLE)) & WS_VISIBLE;
    SetWindowLongPtrW(hwnd, GWL_STYLE, LONG_PTR((style_ & ~WS_VISIBLE) | visible));
    SetWindowLongPtrW(hwnd, GWL_EXSTYLE, LONG_PTR(exStyle_));
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | (activate ? 0 : SWP_NOACTIVATE));
}

void Window::applyTopmost(bool on) {
    SetWindowPos(hwndOf(*this), on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void Window::setTitle(const std::wstring& text) {
    if (HWND hwnd = hwndOf(*this)) SetWindowTextW(hwnd, text.c_str());
}

std::wstring Window::title() const {
    HWND hwnd = hwndOf(*this);
    if (!hwnd) return {};
    std::wstring text(std::size_t(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(hwnd, &text[0], int(text.size()))));
    return text;
}

void Window::listenClipboard(bool on) {
    HWND hwnd = hwndOf(*this);
    if (!hwnd) return;
    if (on)
        AddClipboardFormatListener(hwnd);
    else
        RemoveClipboardFormatListener(hwnd);
}

void Window::position(Point& out) const {
    RECT r = {};
    if (!hwndOf(*this) || !GetWindowRect(hwndOf(*this), &r)) r = RECT{};
    out = Point{r.left, r.top};
}

void Window::getWindowRect(Rect& out) const {
    out = Rect{0, 0, 0, 0};
    if (hwndOf(*this)) GetWindowRect(hwndOf(*this), reinterpret_cast<RECT*>(&out));
}

void Window::getClientRect(Rect& out) const {
    out = Rect{0, 0, 0, 0};
    if (hwndOf(*this)) GetClientRect(hwndOf(*this), reinterpret_cast<RECT*>(&out));
}

void Window::clientSize(Size& out) const {
    Rect r;
    getClientRect(r);
    out = Size{r.right - r.left, r.bottom - r.top};
}

void Window::moveTo(int x, int y) {
    if (HWND hwnd = hwndOf(*this)) SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::setClientSize(int w, int h) {
    HWND hwnd = hwndOf(*this);
    if (!hwnd) return;
    RECT window = {}, client = {};
    GetWindowRect(hwnd, &window);
    GetClientRect(hwnd, &client);
    int width = (window.right - window.left) - client.right + w;
    // The frame's share, the menu bar included, is what the window has beyond its client area.
    int height = (window.bottom - window.top) - client.bottom + h;
    SetWindowPos(hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void Window::disableIme() {
    if (HWND hwnd = hwndOf(*this)) ImmAssociateContextEx(hwnd, nullptr, IACE_IGNORENOCONTEXT);
}

void Window::restoreIme() {
    if (HWND hwnd = hwndOf(*this)) ImmAssociateContextEx(hwnd, nullptr, IACE_DEFAULT);
}

void Window::startNativeTimer(std::uint32_t ms, std::uint32_t id) {
    SetTimer(hwndOf(*this), id, ms, nullptr);
}

void Window::stopNativeTimer(std::uint32_t id) {
    if (HWND hwnd = hwndOf(*this)) KillTimer(hwnd, id);
}

LResult Window::sendMessage(std::uint32_t msg, WParam wParam, LParam lParam) {
    HWND hwnd = hwndOf(*this);
    return hwnd ? SendMessageW(hwnd, msg, wParam, lParam) : 0;
}

void Window::postMessage(std::uint32_t msg, WParam wParam, LParam lParam) {
    if (HWND hwnd = hwndOf(*this)) PostMessageW(hwnd, msg, wParam, lParam);
}

LResult Window::beginDrag(WParam wParam, LParam lParam) {
    HWND hwnd = hwndOf(*this);
    ReleaseCapture();
    // The move loop starts from the point it is given, in screen coordinates.
    POINT start = {LONG(std::int16_t(loWord(std::uint64_t(lParam)))),
                   LONG(std::int16_t(hiWord(std::uint64_t(lParam))))};
    ClientToScreen(hwnd, &start);
    SendMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(start.x, start.y));
    // The move loop swallows the release; the window gets one all the same.
    if (!hwndOf(*this)) return 0;
    return SendMessageW(hwnd, WM_LBUTTONUP, wParam, lParam);
}

bool Window::trackMouse() {
    HWND hwnd = hwndOf(*this);
    TRACKMOUSEEVENT query = {sizeof query, TME_QUERY, nullptr, 0};
    if (!TrackMouseEvent(&query)) return false;
    if (query.dwFlags == TME_LEAVE && query.hwndTrack == hwnd) return false;
    TRACKMOUSEEVENT leave = {sizeof leave, TME_LEAVE, hwnd, HOVER_DEFAULT};
    TrackMouseEvent(&leave);
    return true;
}

std::vector<std::wstring> Window::droppedPaths(WParam wParam) {
    auto drop = reinterpret_cast<HDROP>(wParam);
    std::vector<std::wstring> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(std::size_t(DragQueryFileW(drop, i, nullptr, 0)) + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, &path[0], UINT(path.size())));
        paths.push_back(path);
    }
    DragFinish(drop);
    return paths;
}

LResult Window::defaultProcessing(std::uint32_t msg, WParam wParam, LParam lParam) {
    HWND hwnd = hwndOf(*this);
    if (!hwnd) return 0;
    if (msg == WM_PAINT && !native_->layered) {
        // Painted by nobody: the update region is already validated, so the class's white
        // background is drawn here.
        RECT client = {};
        GetClientRect(hwnd, &client);
        HDC dc = GetDC(hwnd);
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ReleaseDC(hwnd, dc);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace kiro::ui

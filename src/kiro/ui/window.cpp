// The portable part of Window: bookkeeping of live windows, owners and observers, timers, and
// the dispatch that turns a message into a call of its handler.
#include "kiro/ui/window.h"

#include <cstdio>

#include "kiro/ui/canvas.h"
#include "kiro/ui/msgbox.h"

namespace kiro::ui {

namespace {

int g_liveCount = 0;
std::set<Window*> g_registry;

}  // namespace

Window::Window(Window* parent, std::uint32_t style, std::uint32_t exStyle)
    : parent_(parent), style_(style), exStyle_(exStyle) {
    ++g_liveCount;
    try {
        createNative(style, exStyle);
    } catch (...) {
        --g_liveCount;
        throw;
    }
    wchar_t title[32];
    std::swprintf(title, 32, L"window #%02d", g_liveCount);
    setTitle(title);
    if (parent_) parent_->children_.insert(this);
    g_registry.insert(this);
}

Window::~Window() {
    destroy();
    native_.reset();
    for (Window* child : children_) child->parent_ = nullptr;
    if (parent_) parent_->children_.erase(this);
    // A window deleted without having been destroyed may still be observing others.
    for (Window* w : g_registry) w->hooks_.erase(this);
    g_registry.erase(this);
    --g_liveCount;
}

int Window::liveCount() { return g_liveCount; }

bool Window::isLive(const Window* window) {
    return g_registry.count(const_cast<Window*>(window)) != 0;
}

void Window::hook(Window* target) {
    if (target) {
        target->hooks_.insert(this);
        return;
    }
    for (Window* w : g_registry) w->hooks_.erase(this);
}

void Window::destroy() { destroyNative(); }

int Window::width() const {
    Rect r;
    getWindowRect(r);
    return r.right - r.left;
}

int Window::height() const {
    Rect r;
    getWindowRect(r);
    return r.bottom - r.top;
}

void Window::setStyle(std::uint32_t style) {
    style_ = style;
    if (handle()) applyStyle(false);
}

void Window::setNoActivate(bool on) {
    if (on)
        exStyle_ |= wsex::NoActivate;
    else
        exStyle_ &= ~wsex::NoActivate;
    if (handle()) applyStyle(!on);
}

void Window::setTopmost(bool on) {
    if (handle()) applyTopmost(on);
    for (Window* child : children_) child->setTopmost(on);
}

void Window::setTimer(std::uint32_t ms, std::uint32_t id) {
    id &= 0xFFFF;
    if (timers_.count(id)) stopNativeTimer(id);
    if (!handle()) return;
    startNativeTimer(ms, id);
    timers_.insert(id);
}

void Window::killTimers() {
    for (std::uint32_t id : timers_) stopNativeTimer(id);
    timers_.clear();
}

LResult Window::dispatch(std::uint32_t msg, WParam wParam, LParam lParam) {
    LResult r = onMessage(msg, wParam, lParam);
    if (r != NotHandled) return r;
    if (msg >= wm::App && msg <= wm::AppLast) return onUserMessage(msg, wParam, lParam);
    // An observer may unhook itself (or others) while being asked: walk a copy.
    const std::set<Window*> observers = hooks_;
    for (Window* h : observers) {
        if (!hooks_.count(h)) continue;
        r = h->onHookedMessage(*this, msg, wParam, lParam);
        if (r != NotHandled) return r;
    }
    r = decode(msg, wParam, lParam);
    if (r == NotHandled) return defaultProcessing(msg, wParam, lParam);
    return r;
}

LResult Window::decode(std::uint32_t msg, WParam wParam, LParam lParam) {
    const int x = int(loWord(std::uint64_t(lParam)));
    const int y = int(hiWord(std::uint64_t(lParam)));
    switch (msg) {
    case wm::Close:
        return onClose();
    case wm::Destroy:
        restoreIme();
        hook(nullptr);
        killTimers();
        return onDestroy();
    case wm::Paint:
        return paint();
    case wm::Sizing:
        return onSizing(reinterpret_cast<Rect*>(lParam));
    case wm::Size:
        return onSize(Size{x, y});
    case wm::Moving:
        return onMoving(reinterpret_cast<Rect*>(lParam));
    case wm::Move:
        return onMove(x, y);
    case wm::WindowPosChanging:
        return onPosChanging(reinterpret_cast<WindowPos*>(lParam));
    case wm::WindowPosChanged:
        return onPosChanged(reinterpret_cast<WindowPos*>(lParam));
    case wm::Activate:
        return onActivate(wParam != 0);
    case wm::ActivateApp:
        return onActivateApp(wParam != 0);
    case wm::SetFocus:
        return onFocus(true);
    case wm::KillFocus:
        return onFocus(false);
    case wm::ClipboardUpdate:
        return onClipboardUpdate();
    case wm::Command:
        if (hiWord(wParam) != 0) return onCommand(loWord(wParam), hiWord(wParam));
        return onCommand(loWord(wParam));
    case wm::Timer:
        return onTimer(loWord(wParam));
    case wm::DeviceChange:
        return onDeviceChange(wParam, lParam);
    case wm::DropFiles: {
        std::vector<std::wstring> paths = droppedPaths(wParam);
        LResult r = onDropFiles(paths);
        if (r == NotHandled) droppedFiles_.assign(paths.begin(), paths.end());
        return r;
    }
    case wm::KeyDown:
        return onKeyDown(std::uint32_t(wParam));
    case wm::KeyUp:
        return onKeyUp(std::uint32_t(wParam));
    case wm::Char:
        return onChar(loWord(wParam));
    case wm::LButtonDown:
        return dragMove_ ? beginDrag(wParam, lParam) : NotHandled;
    case wm::LButtonUp:
        return onLButtonUp(x, y);
    case wm::LButtonDblClk:
        return onLButtonDblClk(x, y);
    case wm::RButtonUp:
        return onRButtonUp(x, y);
    case wm::MouseMove: {
        LResult r = onMouseMove(x, y);
        if (trackMouseLeave_ && trackMouse()) onMouseOver(true);
        return r;
    }
    case wm::MouseLeave:
        onMouseOver(false);
        return NotHandled;
    case wm::MouseWheel:
        return onWheel(float(std::int16_t(hiWord(wParam))) / 120.0f);
    case wm::SetCursor:
        return onSetCursor(hiWord(std::uint64_t(lParam)));
    default:
        return NotHandled;
    }
}

void Window::alert(const std::wstring& text) { messageBox(text, L"alert", MbOk, handle()); }

LResult Window::onMessage(std::uint32_t, WParam, LParam) { return NotHandled; }
LResult Window::onUserMessage(std::uint32_t, WParam, LParam) { return NotHandled; }
LResult Window::onClose() { return NotHandled; }
LResult Window::onDestroy() { return NotHandled; }
LResult Window::onPaint(Canvas&) { return NotHandled; }
LResult Window::onSizing(Rect*) { return NotHandled; }
LResult Window::onSize(const Size&) { return NotHandled; }
LResult Window::onMoving(Rect*) { return NotHandled; }
LResult Window::onMove(int, int) { return NotHandled; }
LResult Window::onPosChanging(WindowPos*) { return NotHandled; }
LResult Window::onPosChanged(WindowPos*) { return NotHandled; }
LResult Window::onActivate(bool) { return NotHandled; }
LResult Window::onActivateApp(bool) { return NotHandled; }
LResult Window::onFocus(bool) { return NotHandled; }
LResult Window::onClipboardUpdate() { return NotHandled; }
LResult Window::onCommand(std::uint32_t, std::uint32_t) { return NotHandled; }
LResult Window::onCommand(std::uint32_t) { return NotHandled; }
LResult Window::onTimer() { return NotHandled; }
LResult Window::onTimer(std::uint32_t) { return onTimer(); }
LResult Window::onDeviceChange(WParam, LParam) { return NotHandled; }
LResult Window::onDropFiles(const std::vector<std::wstring>&) { return NotHandled; }
LResult Window::onKeyDown(std::uint32_t) { return NotHandled; }
LResult Window::onKeyUp(std::uint32_t) { return NotHandled; }
LResult Window::onChar(std::uint32_t) { return NotHandled; }
LResult Window::onLButtonUp(int, int) { return onKeyDown(vk::LButton); }
LResult Window::onLButtonDblClk(int, int) { return NotHandled; }
LResult Window::onRButtonUp(int, int) { return onKeyDown(vk::RButton); }
LResult Window::onMouseMove(int, int) { return NotHandled; }
LResult Window::onMouseOver(bool) { return NotHandled; }
LResult Window::onWheel(float) { return NotHandled; }
LResult Window::onSetCursor(std::uint32_t) { return NotHandled; }
LResult Window::onHookedMessage(Window&, std::uint32_t, WParam, LParam) { return NotHandled; }

}  // namespace kiro::ui

// The toolkit's one window class: a top-level native window whose messages become calls of
// virtual handlers, with timers, owner/owned links, observing windows and drag-to-move.
// window.cpp holds the portable part; each backend (window_gtk.cpp, window_win32.cpp) defines
// the members listed under "platform part" and feeds every native message through dispatch.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "kiro/ui/types.h"

namespace kiro::ui {

class Canvas;

class Window {
public:
    // Throws std::runtime_error when the native window cannot be made.
    explicit Window(Window* parent = nullptr, std::uint32_t style = 0, std::uint32_t exStyle = 0);
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Handlers, one per message (defaults in window.cpp). x and y are the low and high 16 bits of lParam, zero-extended.
    // Each returns a result for the system or NotHandled for the default processing.
    virtual LResult onMessage(std::uint32_t msg, WParam wParam, LParam lParam);
    virtual LResult onUserMessage(std::uint32_t msg, WParam wParam, LParam lParam);
    virtual LResult onClose();
    virtual LResult onDestroy();
    virtual LResult onPaint(Canvas& canvas);
    virtual LResult onSizing(Rect* rect);
    virtual LResult onSize(const Size& size);
    virtual LResult onMoving(Rect* rect);
    virtual LResult onMove(int x, int y);
    virtual LResult onPosChanging(WindowPos* pos);
    virtual LResult onPosChanged(WindowPos* pos);
    virtual LResult onActivate(bool active);
    virtual LResult onActivateApp(bool active);
    virtual LResult onFocus(bool gained);
    virtual LResult onClipboardUpdate();
    virtual LResult onCommand(std::uint32_t id, std::uint32_t code);
    virtual LResult onCommand(std::uint32_t id);
    virtual LResult onTimer();
    virtual LResult onTimer(std::uint32_t id);  // default: onTimer()
    virtual LResult onDeviceChange(WParam wParam, LParam lParam);
    virtual LResult onDropFiles(const std::vector<std::wstring>& paths);
    virtual LResult onKeyDown(std::uint32_t vk);
    virtual LResult onKeyUp(std::uint32_t vk);
    virtual LResult onChar(std::uint32_t ch);
    virtual LResult onLButtonUp(int x, int y);  // default: onKeyDown(vk::LButton)
    virtual LResult onLButtonDblClk(int x, int y);
    virtual LResult onRButtonUp(int x, int y);  // default: onKeyDown(vk::RButton)
    virtual LResult onMouseMove(int x, int y);
    virtual LResult onMouseOver(bool inside);  // only with setTrackMouseLeave(true)
    virtual LResult onWheel(float notches);
    virtual LResult onSetCursor(std::uint32_t mouseMsg);
    virtual LResult onHookedMessage(Window& source, std::uint32_t msg, WParam wParam,
                                    LParam lParam);

    // ---- Platform part (window_gtk.cpp, window_win32.cpp): each backend defines these. ----
    WindowHandle handle() const;  // null once the native window is destroyed
    void show();
    void hide();
    bool isVisible() const;
    // Leads to one paint dispatch (onPaint) while the window is shown, once pending input is
    // handled; several calls before it give one paint.
    void invalidate();
    void focus();
    void setTitle(const std::wstring& text);
    std::wstring title() const;
    void listenClipboard(bool on);
    void position(Point& out) const;  // (0, 0) once destroyed
    void getWindowRect(Rect& out) const;
    void getClientRect(Rect& out) const;
    void clientSize(Size& out) const;
    void moveTo(int x, int y);
    void setClientSize(int w, int h);
    void disableIme();
    // Runs a message through the dispatch now / later on the UI thread (dropped if the window
    // is destroyed first).
    LResult sendMessage(std::uint32_t msg, WParam wParam, LParam lParam);
    void postMessage(std::uint32_t msg, WParam wParam, LParam lParam);

    // ---- Portable part (window.cpp), written once over the platform part. ----
    Window* parent() const { return parent_; }
    const std::set<Window*>& children() const { return children_; }
    void destroy();  // destroys the native window (and those it owns); the object stays
    void setTimer(std::uint32_t ms, std::uint32_t id);  // restarts a running id
    void killTimers();
    bool hasTimer(std::uint32_t id) const { return timers_.count(id) != 0; }
    void setStyle(std::uint32_t style);
    std::uint32_t style() const { return style_; }
    std::uint32_t exStyle() const { return exStyle_; }
    int width() const;   // of the window rectangle
    int height() const;
    void moveTo(const Point& p) { moveTo(p.x, p.y); }
    void setTopmost(bool on);  // also for every owned window, recursively
    void setNoActivate(bool on);
    void setDragMove(bool on) { dragMove_ = on; }
    void setTrackMouseLeave(bool on) { trackMouseLeave_ = on; }
    bool dragMove() const { return dragMove_; }
    bool trackMouseLeave() const { return trackMouseLeave_; }
    // With a target: observe every message of target. With null: stop observing all windows.
    void hook(Window* target);
    void alert(const std::wstring& text);  // a message box captioned "alert"

    // Paths of the last file drop that no handler took.
    const std::deque<std::wstring>& droppedFiles() const { return droppedFiles_; }

    // The number of live Window objects (it also numbers the default titles).
    static int liveCount();
    // Whether window points at a Window object that has not been deleted.
    static bool isLive(const Window* window);

    // The dispatch of one message: onMessage, user messages, observers, the decoded handler,
    // then the default processing. The platform backends feed every message through it.
    LResult dispatch(std::uint32_t msg, WParam wParam, LParam lParam);

    struct Native;  // the platform's state of the window
    struct NativeDeleter {
        void operator()(Native* native) const;  // in the platform file
    };
    Native* native() const { return native_.get(); }

private:
    LResult decode(std::uint32_t msg, WParam wParam, LParam lParam);
    // Platform part, private: what the portable part asks of the native window.
    void createNative(std::uint32_t style, std::uint32_t exStyle);  // throws on failure
    void destroyNative();  // the destroy message is dispatched from here (or by the system)
    void applyStyle(bool activate);  // style_ or exStyle_ changed; activate: the window may take focus
    void applyTopmost(bool on);
    LResult defaultProcessing(std::uint32_t msg, WParam wParam, LParam lParam);
    LResult paint();  // the paint message: a Canvas of the client size for onPaint
    // Left button pressed on a dragMove window: moves the window with the pointer; exactly one
    // left-button release follows (its result is returned when it comes within this call).
    LResult beginDrag(WParam wParam, LParam lParam);
    bool trackMouse();  // true when the pointer has just entered
    void startNativeTimer(std::uint32_t ms, std::uint32_t id);
    void stopNativeTimer(std::uint32_t id);
    void restoreIme();
    std::vector<std::wstring> droppedPaths(WParam drop);  // the drop message's paths

    bool firstShow_ = true;
    Window* parent_ = nullptr;
    bool dragMove_ = false;
    bool trackMouseLeave_ = false;
    std::uint32_t style_ = 0;
    std::uint32_t exStyle_ = 0;
    std::set<Window*> children_;
    std::set<Window*> hooks_;
    std::set<std::uint32_t> timers_;
    std::deque<std::wstring> droppedFiles_;
    std::unique_ptr<Native, NativeDeleter> native_;
};

}  // namespace kiro::ui

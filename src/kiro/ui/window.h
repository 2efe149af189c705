// The toolkit's one window class: a top-level native window whose messages become calls of
// virtual handlers, with timers, owner/owned links, observing windows and drag-to-move.
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

    // Handlers, one per message. x and y are the low and high 16 bits of lParam, zero-extended.
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

    WindowHandle handle() const;  // null once the native window is destroyed
    Window* parent() const { return parent_; }
    const std::set<Window*>& children() const { return children_; }

    void show();
    void hide();
    bool isVisible() const;
    void invalidate();
    void focus();
    void destroy();  // destroys the native window (and those it owns); the object stays

    void setTimer(std::uint32_t ms, std::uint32_t id);  // restarts a running id
    void killTimers();
    bool hasTimer(std::uint32_t id) const { return timers_.count(id) != 0; }

    void setStyle(std::uint32_t style);
    std::uint32_t style() const { return style_; }
    std::uint32_t exStyle() const { return exStyle_; }
    void setTitle(const std::wstring& text);
    std::wstring title() const;
    void listenClipboard(bool on);

    void position(Point& out) const;
    int width() const;
    int height() const;
    void getWindowRect(Rect& out) const;
    void getClientRect(Rect& out) const;
    void clientSize(Size& out) const;
    void moveTo(int x, int y);
    void moveTo(const Point& p) { moveTo(p.x, p.y); }
    void setClientSize(int w, int h);
    void setTopmost(bool on);  // also for every owned window, recursively
    void setNoActivate(bool on);
    void setDragMove(bool on) { dragMove_ = on; }
    void setTrackMouseLeave(bool on) { trackMouseLeave_ = on; }
    bool dragMove() const { return dragMove_; }
    bool trackMouseLeave() const { return trackMouseLeave_; }

    // With a target: observe every message of target. With null: stop observing all windows.
    void hook(Window* target);

    void alert(const std::wstring& text);  // a message box captioned "alert"
    void disableIme();

    // Runs a message through the dispatch now / later on the UI thread (dropped if the window
    // is destroyed first).
    LResult sendMessage(std::uint32_t msg, WParam wParam, LParam lParam);
    void postMessage(std::uint32_t msg, WParam wParam, LParam lParam);

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
    // Platform parts (window_gtk.cpp / window_win32.cpp).
    void createNative(std::uint32_t style, std::uint32_t exStyle);
    void destroyNative();
    LResult defaultProcessing(std::uint32_t msg, WParam wParam, LParam lParam);
    LResult paint();
    void beginDrag(WParam wParam, LParam lParam);
    bool trackMouse();  // true when the pointer has just entered
    void startNativeTimer(std::uint32_t ms, std::uint32_t id);
    void stopNativeTimer(std::uint32_t id);
    void restoreIme();
    std::vector<std::wstring> droppedPaths(WParam drop);

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

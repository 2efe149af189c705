// The window toolkit's vocabulary: message numbers, style bits, key codes, geometry records and
// colours with the values of the Win32 user interface, under the toolkit's own names.
#pragma once

#include <cstdint>

namespace kiro::ui {

// Result of a message handler; NotHandled sends the message on to the default processing.
using LResult = std::int64_t;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
constexpr LResult NotHandled = -1;

// The native window behind a Window (HWND on Windows, GtkWindow* on Linux); opaque to callers.
using WindowHandle = void*;

struct Point {
    std::int32_t x;
    std::int32_t y;
};

struct Size {
    std::int32_t cx;
    std::int32_t cy;
};

struct Rect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

// Position record of the position-changing/-changed messages (same layout as WINDOWPOS).
struct WindowPos {
    WindowHandle hwnd;
    WindowHandle hwndInsertAfter;
    std::int32_t x;
    std::int32_t y;
    std::int32_t cx;
    std::int32_t cy;
    std::uint32_t flags;
};

// An RGB colour with red in the low byte, green in the second and blue in the third.
using Rgb = std::uint32_t;
constexpr Rgb rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return Rgb(r) | (Rgb(g) << 8) | (Rgb(b) << 16);
}
constexpr std::uint8_t redOf(Rgb c) { return std::uint8_t(c & 0xFF); }
constexpr std::uint8_t greenOf(Rgb c) { return std::uint8_t((c >> 8) & 0xFF); }
constexpr std::uint8_t blueOf(Rgb c) { return std::uint8_t((c >> 16) & 0xFF); }

// Packing of two 16-bit halves, as the messages carry coordinates and codes.
constexpr std::uint32_t loWord(std::uint64_t v) { return std::uint32_t(v & 0xFFFF); }
constexpr std::uint32_t hiWord(std::uint64_t v) { return std::uint32_t((v >> 16) & 0xFFFF); }
constexpr LParam makeLParam(std::int32_t lo, std::int32_t hi) {
    return LParam((std::uint32_t(lo) & 0xFFFF) | ((std::uint32_t(hi) & 0xFFFF) << 16));
}

// Message numbers.
namespace wm {
constexpr std::uint32_t Null = 0x0000;
constexpr std::uint32_t Create = 0x0001;
constexpr std::uint32_t Destroy = 0x0002;
constexpr std::uint32_t Move = 0x0003;
constexpr std::uint32_t Size = 0x0005;
constexpr std::uint32_t Activate = 0x0006;
constexpr std::uint32_t SetFocus = 0x0007;
constexpr std::uint32_t KillFocus = 0x0008;
constexpr std::uint32_t SetText = 0x000C;
constexpr std::uint32_t Paint = 0x000F;
constexpr std::uint32_t Close = 0x0010;
constexpr std::uint32_t QueryEndSession = 0x0011;
constexpr std::uint32_t Quit = 0x0012;
constexpr std::uint32_t EraseBkgnd = 0x0014;
constexpr std::uint32_t EndSession = 0x0016;
constexpr std::uint32_t ShowWindow = 0x0018;
constexpr std::uint32_t ActivateApp = 0x001C;
constexpr std::uint32_t SetCursor = 0x0020;
constexpr std::uint32_t MouseActivate = 0x0021;
constexpr std::uint32_t WindowPosChanging = 0x0046;
constexpr std::uint32_t WindowPosChanged = 0x0047;
constexpr std::uint32_t DisplayChange = 0x007E;
constexpr std::uint32_t NcDestroy = 0x0082;
constexpr std::uint32_t NcHitTest = 0x0084;
constexpr std::uint32_t NcLButtonDown = 0x00A1;
constexpr std::uint32_t KeyDown = 0x0100;
constexpr std::uint32_t KeyUp = 0x0101;
constexpr std::uint32_t Char = 0x0102;
constexpr std::uint32_t SysKeyDown = 0x0104;
constexpr std::uint32_t SysKeyUp = 0x0105;
constexpr std::uint32_t Command = 0x0111;
constexpr std::uint32_t SysCommand = 0x0112;
constexpr std::uint32_t Timer = 0x0113;
constexpr std::uint32_t MouseMove = 0x0200;
constexpr std::uint32_t LButtonDown = 0x0201;
constexpr std::uint32_t LButtonUp = 0x0202;
constexpr std::uint32_t LButtonDblClk = 0x0203;
constexpr std::uint32_t RButtonDown = 0x0204;
constexpr std::uint32_t RButtonUp = 0x0205;
constexpr std::uint32_t RButtonDblClk = 0x0206;
constexpr std::uint32_t MButtonDown = 0x0207;
constexpr std::uint32_t MButtonUp = 0x0208;
constexpr std::uint32_t MouseWheel = 0x020A;
constexpr std::uint32_t Sizing = 0x0214;
constexpr std::uint32_t CaptureChanged = 0x0215;
constexpr std::uint32_t Moving = 0x0216;
constexpr std::uint32_t PowerBroadcast = 0x0218;
constexpr std::uint32_t DeviceChange = 0x0219;
constexpr std::uint32_t EnterSizeMove = 0x0231;
constexpr std::uint32_t ExitSizeMove = 0x0232;
constexpr std::uint32_t DropFiles = 0x0233;
constexpr std::uint32_t MouseLeave = 0x02A3;
constexpr std::uint32_t Hotkey = 0x0312;
constexpr std::uint32_t ClipboardUpdate = 0x031D;
constexpr std::uint32_t User = 0x0400;
constexpr std::uint32_t App = 0x8000;
// Messages from App up to this one go to onUserMessage.
constexpr std::uint32_t AppLast = 0xBFFF;
}  // namespace wm

// Window styles.
namespace ws {
constexpr std::uint32_t Overlapped = 0x00000000;
constexpr std::uint32_t Popup = 0x80000000;
constexpr std::uint32_t Child = 0x40000000;
constexpr std::uint32_t Visible = 0x10000000;
constexpr std::uint32_t Caption = 0x00C00000;
constexpr std::uint32_t Border = 0x00800000;
constexpr std::uint32_t DlgFrame = 0x00400000;
constexpr std::uint32_t VScroll = 0x00200000;
constexpr std::uint32_t HScroll = 0x00100000;
constexpr std::uint32_t SysMenu = 0x00080000;
constexpr std::uint32_t ThickFrame = 0x00040000;
constexpr std::uint32_t MinimizeBox = 0x00020000;
constexpr std::uint32_t MaximizeBox = 0x00010000;
constexpr std::uint32_t OverlappedWindow = 0x00CF0000;
}  // namespace ws

// Extended window styles.
namespace wsex {
constexpr std::uint32_t Topmost = 0x00000008;
constexpr std::uint32_t AcceptFiles = 0x00000010;
constexpr std::uint32_t Transparent = 0x00000020;
constexpr std::uint32_t ToolWindow = 0x00000080;
constexpr std::uint32_t AppWindow = 0x00040000;
constexpr std::uint32_t Layered = 0x00080000;
constexpr std::uint32_t NoActivate = 0x08000000;
}  // namespace wsex

// Virtual-key codes (letters and digits are their upper-case ASCII codes).
namespace vk {
constexpr std::uint32_t LButton = 0x01;
constexpr std::uint32_t RButton = 0x02;
constexpr std::uint32_t Cancel = 0x03;
constexpr std::uint32_t MButton = 0x04;
constexpr std::uint32_t Back = 0x08;
constexpr std::uint32_t Tab = 0x09;
constexpr std::uint32_t Return = 0x0D;
constexpr std::uint32_t Shift = 0x10;
constexpr std::uint32_t Control = 0x11;
constexpr std::uint32_t Menu = 0x12;
constexpr std::uint32_t Pause = 0x13;
constexpr std::uint32_t Capital = 0x14;
constexpr std::uint32_t Escape = 0x1B;
constexpr std::uint32_t Space = 0x20;
constexpr std::uint32_t Prior = 0x21;
constexpr std::uint32_t Next = 0x22;
constexpr std::uint32_t End = 0x23;
constexpr std::uint32_t Home = 0x24;
constexpr std::uint32_t Left = 0x25;
constexpr std::uint32_t Up = 0x26;
constexpr std::uint32_t Right = 0x27;
constexpr std::uint32_t Down = 0x28;
constexpr std::uint32_t Insert = 0x2D;
constexpr std::uint32_t Delete = 0x2E;
constexpr std::uint32_t F1 = 0x70;
constexpr std::uint32_t F4 = 0x73;
constexpr std::uint32_t F12 = 0x7B;
}  // namespace vk

// Mouse-message key-state bits (wParam of the button and move messages).
namespace mk {
constexpr std::uint32_t LButton = 0x0001;
constexpr std::uint32_t RButton = 0x0002;
constexpr std::uint32_t Shift = 0x0004;
constexpr std::uint32_t Control = 0x0008;
constexpr std::uint32_t MButton = 0x0010;
}  // namespace mk

// Hit-test codes (low word of the cursor message's lParam).
namespace ht {
constexpr std::uint32_t Client = 1;
constexpr std::uint32_t Caption = 2;
}  // namespace ht

// Flags of a position record (which parts of a position change are left out).
namespace swp {
constexpr std::uint32_t NoSize = 0x0001;
constexpr std::uint32_t NoMove = 0x0002;
constexpr std::uint32_t NoZOrder = 0x0004;
constexpr std::uint32_t NoActivate = 0x0010;
constexpr std::uint32_t FrameChanged = 0x0020;
constexpr std::uint32_t ShowWindow = 0x0040;
constexpr std::uint32_t HideWindow = 0x0080;
constexpr std::uint32_t NoOwnerZOrder = 0x0200;
}  // namespace swp

// System-command codes (wParam of the system-command message).
namespace sc {
constexpr std::uint32_t Close = 0xF060;
constexpr std::uint32_t ScreenSave = 0xF140;
constexpr std::uint32_t MonitorPower = 0xF170;
}  // namespace sc

}  // namespace kiro::ui

// Windows backend only: checks that the toolkit's vocabulary (types.h) holds the Win32 values,
// so messages, styles, key codes and records pass between the system and the handlers unchanged.
#include <windows.h>

#include <cstddef>

#include "kiro/ui/types.h"

namespace kiro::ui {

static_assert(wm::Null == WM_NULL && wm::Create == WM_CREATE && wm::Destroy == WM_DESTROY && wm::Move == WM_MOVE &&
              wm::Size == WM_SIZE && wm::Activate == WM_ACTIVATE && wm::SetFocus == WM_SETFOCUS &&
              wm::KillFocus == WM_KILLFOCUS && wm::SetText == WM_SETTEXT && wm::Paint == WM_PAINT &&
              wm::Close == WM_CLOSE && wm::QueryEndSession == WM_QUERYENDSESSION && wm::Quit == WM_QUIT &&
              wm::EraseBkgnd == WM_ERASEBKGND && wm::EndSession == WM_ENDSESSION && wm::ShowWindow == WM_SHOWWINDOW &&
              wm::ActivateApp == WM_ACTIVATEAPP && wm::SetCursor == WM_SETCURSOR &&
              wm::MouseActivate == WM_MOUSEACTIVATE && wm::WindowPosChanging == WM_WINDOWPOSCHANGING &&
              wm::WindowPosChanged == WM_WINDOWPOSCHANGED && wm::DisplayChange == WM_DISPLAYCHANGE &&
              wm::NcDestroy == WM_NCDESTROY && wm::NcHitTest == WM_NCHITTEST && wm::NcLButtonDown == WM_NCLBUTTONDOWN &&
              wm::KeyDown == WM_KEYDOWN && wm::KeyUp == WM_KEYUP && wm::Char == WM_CHAR &&
              wm::SysKeyDown == WM_SYSKEYDOWN && wm::SysKeyUp == WM_SYSKEYUP && wm::Command == WM_COMMAND &&
              wm::SysCommand == WM_SYSCOMMAND && wm::Timer == WM_TIMER && wm::MouseMove == WM_MOUSEMOVE &&
              wm::LButtonDown == WM_LBUTTONDOWN && wm::LButtonUp == WM_LBUTTONUP &&
              wm::LButtonDblClk == WM_LBUTTONDBLCLK && wm::RButtonDown == WM_RBUTTONDOWN &&
              wm::RButtonUp == WM_RBUTTONUP && wm::RButtonDblClk == WM_RBUTTONDBLCLK &&
              wm::MButtonDown == WM_MBUTTONDOWN && wm::MButtonUp == WM_MBUTTONUP && wm::MouseWheel == WM_MOUSEWHEEL &&
              wm::Sizing == WM_SIZING && wm::CaptureChanged == WM_CAPTURECHANGED && wm::Moving == WM_MOVING &&
              wm::PowerBroadcast == WM_POWERBROADCAST && wm::DeviceChange == WM_DEVICECHANGE &&
              wm::EnterSizeMove == WM_ENTERSIZEMOVE && wm::ExitSizeMove == WM_EXITSIZEMOVE &&
              wm::DropFiles == WM_DROPFILES && wm::MouseLeave == WM_MOUSELEAVE && wm::Hotkey == WM_HOTKEY &&
              wm::ClipboardUpdate == WM_CLIPBOARDUPDATE && wm::User == WM_USER && wm::App == WM_APP);

static_assert(ws::Overlapped == WS_OVERLAPPED && ws::Popup == WS_POPUP && ws::Child == WS_CHILD &&
              ws::Visible == WS_VISIBLE && ws::Caption == WS_CAPTION && ws::Border == WS_BORDER &&
              ws::DlgFrame == WS_DLGFRAME && ws::VScroll == WS_VSCROLL && ws::HScroll == WS_HSCROLL &&
              ws::SysMenu == WS_SYSMENU && ws::ThickFrame == WS_THICKFRAME && ws::MinimizeBox == WS_MINIMIZEBOX &&
              ws::MaximizeBox == WS_MAXIMIZEBOX && ws::OverlappedWindow == WS_OVERLAPPEDWINDOW);

static_assert(wsex::Topmost == WS_EX_TOPMOST && wsex::AcceptFiles == WS_EX_ACCEPTFILES &&
              wsex::Transparent == WS_EX_TRANSPARENT && wsex::ToolWindow == WS_EX_TOOLWINDOW &&
              wsex::AppWindow == WS_EX_APPWINDOW && wsex::Layered == WS_EX_LAYERED &&
              wsex::NoActivate == WS_EX_NOACTIVATE);

static_assert(vk::LButton == VK_LBUTTON && vk::RButton == VK_RBUTTON && vk::Cancel == VK_CANCEL &&
              vk::MButton == VK_MBUTTON && vk::Back == VK_BACK && vk::Tab == VK_TAB && vk::Return == VK_RETURN &&
              vk::Shift == VK_SHIFT && vk::Control == VK_CONTROL && vk::Menu == VK_MENU && vk::Pause == VK_PAUSE &&
              vk::Capital == VK_CAPITAL && vk::Escape == VK_ESCAPE && vk::Space == VK_SPACE && vk::Prior == VK_PRIOR &&
              vk::Next == VK_NEXT && vk::End == VK_END && vk::Home == VK_HOME && vk::Left == VK_LEFT &&
              vk::Up == VK_UP && vk::Right == VK_RIGHT && vk::Down == VK_DOWN && vk::Insert == VK_INSERT &&
              vk::Delete == VK_DELETE && vk::F1 == VK_F1 && vk::F4 == VK_F4 && vk::F12 == VK_F12);

static_assert(mk::LButton == MK_LBUTTON && mk::RButton == MK_RBUTTON && mk::Shift == MK_SHIFT &&
              mk::Control == MK_CONTROL && mk::MButton == MK_MBUTTON);

static_assert(ht::Client == HTCLIENT && ht::Caption == HTCAPTION);

static_assert(swp::NoSize == SWP_NOSIZE && swp::NoMove == SWP_NOMOVE && swp::NoZOrder == SWP_NOZORDER &&
              swp::NoActivate == SWP_NOACTIVATE && swp::FrameChanged == SWP_FRAMECHANGED &&
              swp::ShowWindow == SWP_SHOWWINDOW && swp::HideWindow == SWP_HIDEWINDOW &&
              swp::NoOwnerZOrder == SWP_NOOWNERZORDER);

static_assert(sc::Close == SC_CLOSE && sc::ScreenSave == SC_SCREENSAVE && sc::MonitorPower == SC_MONITORPOWER);

static_assert(NotHandled == LResult(-1) && sizeof(LResult) == sizeof(LRESULT) && sizeof(WParam) == sizeof(WPARAM) &&
              sizeof(LParam) == sizeof(LPARAM));
static_assert(sizeof(Point) == sizeof(POINT) && offsetof(Point, y) == offsetof(POINT, y));
static_assert(sizeof(Size) == sizeof(SIZE) && offsetof(Size, cy) == offsetof(SIZE, cy));
static_assert(sizeof(Rect) == sizeof(RECT) && offsetof(Rect, top) == offsetof(RECT, top) &&
              offsetof(Rect, right) == offsetof(RECT, right) && offsetof(Rect, bottom) == offsetof(RECT, bottom));
static_assert(sizeof(WindowPos) == sizeof(WINDOWPOS) &&
              offsetof(WindowPos, hwndInsertAfter) == offsetof(WINDOWPOS, hwndInsertAfter) &&
              offsetof(WindowPos, x) == offsetof(WINDOWPOS, x) && offsetof(WindowPos, cx) == offsetof(WINDOWPOS, cx) &&
              offsetof(WindowPos, flags) == offsetof(WINDOWPOS, flags));
static_assert(rgb(1, 2, 3) == RGB(1, 2, 3) && redOf(RGB(9, 8, 7)) == GetRValue(RGB(9, 8, 7)) &&
              greenOf(RGB(9, 8, 7)) == GetGValue(RGB(9, 8, 7)) && blueOf(RGB(9, 8, 7)) == GetBValue(RGB(9, 8, 7)));

}  // namespace kiro::ui

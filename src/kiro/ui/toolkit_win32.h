// Windows backend only: the window toolkit's process-wide Win32 state, in one record, set up
// once by initializeToolkit and torn down by finalizeToolkit (loop_win32.cpp).
#pragma once

#include <windows.h>

#include <objidl.h>  // IStream and friends, which <gdiplus.h> needs and WIN32_LEAN_AND_MEAN drops

#include <gdiplus.h>

#include <list>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace kiro::ui {

class Window;

struct Toolkit {
    // The module the windows belong to (the program), given to the class and every window.
    HINSTANCE instance = nullptr;
    // The one window class every Window is made of; 0 when registration failed.
    ATOM windowClass = 0;
    // A private message by which a layered window asks itself to paint.
    UINT paintMessage = 0;
    // The GDI+ session every Canvas and Font draws through; 0 when GDI+ did not start.
    ULONG_PTR gdiplusToken = 0;
    // Font files loaded from memory (addFont); deleted before GDI+ shuts down.
    std::unique_ptr<Gdiplus::PrivateFontCollection> fonts;
    // Copies of those files: the collection reads them for as long as it lives.
    std::list<std::vector<unsigned char>> fontFiles;
    // Families of the private collection already handed out by addFont.
    std::set<std::wstring> handedOutFaces;
};

// The toolkit's state, started on first use (a test or tool may draw before any window).
Toolkit& toolkit();

// The class name of every Window.
constexpr const wchar_t* WindowClassName = L"a47d03b2-91e6-4c5f-8b27-e6f0193d4ac1";

}  // namespace kiro::ui

// The open helper's portable part: web address test, failure texts and the failure box.
#include "kiro/ui/open.h"

#include <cwctype>

#include "kiro/ui/msgbox.h"

namespace kiro::ui {

namespace {

bool startsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
    std::size_t i = 0;
    for (; prefix[i] != L'\0'; ++i) {
        if (i >= text.size() || std::towlower(static_cast<wint_t>(text[i])) != static_cast<wint_t>(prefix[i])) return false;
    }
    return true;
}

}  // namespace

bool isWebAddress(const std::wstring& path) {
    // Only the scheme makes an address: a file named "httpd.conf" stays a file.
    return startsWithNoCase(path, L"http:") || startsWithNoCase(path, L"https:");
}

std::wstring openErrorText(int code) {
    switch (code) {
    case 0: return L"(0)\nThe operating system is out of memory or resources.";
    case 2: return L"(SE_ERR_FNF)\nThe specified file was not found.";
    case 3: return L"(SE_ERR_PNF)\nThe specified path was not found.";
    case 5: return L"(SE_ERR_ACCESSDENIED)\nThe operating system denied access to the specified file.";
    case 8: return L"(SE_ERR_OOM)\nThere was not enough memory to complete the operation.";
    case 11: return L"(ERROR_BAD_FORMAT)\nThe .exe file is invalid (non-Win32 .exe or error in .exe image).";
    case 26: return L"(SE_ERR_SHARE)\nA sharing violation occurred.";
    case 27: return L"(SE_ERR_ASSOCINCOMPLETE)\nThe file name association is incomplete or invalid.";
    case 28: return L"(SE_ERR_DDETIMEOUT)\nThe DDE transaction could not be completed because the request timed out.";
    case 29: return L"(SE_ERR_DDEFAIL)\nThe DDE transaction failed.";
    case 30: return L"(SE_ERR_DDEBUSY)\nThe DDE transaction could not be completed because other DDE transactions were being processed.";
    case 31: return L"(SE_ERR_NOASSOC)\nThere is no application associated with the given file name extension. This error will also be returned if you attempt to print a file that is not printable.";
    case 32: return L"(SE_ERR_DLLNOTFOUND)\nThe specified DLL was not found.";
    default: return L"";
    }
}

bool open(const std::wstring& path) {
    const int code = launchAssociated(path, isWebAddress(path));
    if (code > 32) return true;
    messageBox(openErrorText(code), L"failed ShellExecute()", MbIconWarning);
    return false;
}

}  // namespace kiro::ui

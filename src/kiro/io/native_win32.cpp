// The file layer on Windows: wide path names, FindFirstFileW listing, and atomic replacement
// with FlushFileBuffers + MoveFileExW (tried again while another program holds the target).
#include <windows.h>

#include <string>

#include "kiro/io/file.h"
#include "kiro/io/native.h"
#include "kiro/random.h"

namespace kiro::io::native {

namespace {

// A target that another program holds open without sharing its deletion (a virus scanner
// looking at the new file, an editor) cannot be replaced until it lets go; such holds are
// usually short, so the move is tried again for about two seconds.
bool moveOver(const std::wstring& from, const std::wstring& to) {
    constexpr int Tries = 40;
    constexpr DWORD PauseMs = 50;
    for (int i = 0;; ++i) {
        if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = GetLastError();
        const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
                          error == ERROR_LOCK_VIOLATION;
        if (!held || i + 1 == Tries) return false;
        Sleep(PauseMs);
    }
}

}  // namespace

std::filesystem::path path(const std::wstring& p) { return std::filesystem::path(p); }

wchar_t separator() { return L'\\'; }

std::vector<Entry> listFolder(const std::wstring& folder, const std::wstring& pattern) {
    std::vector<Entry> result;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + pattern).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return result;
    do {
        Entry entry;
        entry.name = data.cFileName;
        entry.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        result.push_back(std::move(entry));
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return result;
}

bool folderId(const std::wstring& folder, FolderId& id) {
    // Opening a folder needs backup semantics; links and junctions are followed.
    HANDLE h = CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    const bool ok = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    if (ok) {
        id = {info.dwVolumeSerialNumber,
              (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    }
    return ok;
}

bool replaceFile(const std::wstring& target, const void* data, size_t size) {
    createFolders(target);
    const size_t cut = target.find_last_of(L"\\/");
    const std::wstring folder = cut == std::wstring::npos ? std::wstring() : target.substr(0, cut + 1);
    const std::wstring name = cut == std::wstring::npos ? target : target.substr(cut + 1);
    const std::wstring temp = folder + L"." + name + L"." + std::to_wstring(GetCurrentProcessId()) +
                              L"." + std::to_wstring(randomIndex(999999)) + L".tmp";

    HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    const auto* p = static_cast<const char*>(data);
    while (ok && size > 0) {
        const DWORD chunk = size > 0x40000000 ? 0x40000000 : DWORD(size);
        DWORD written = 0;
        ok = WriteFile(file, p, chunk, &written, nullptr) && written == chunk;
        p += chunk;
        size -= chunk;
    }
    ok = FlushFileBuffers(file) && ok;
    ok = CloseHandle(file) && ok;
    if (ok) ok = moveOver(temp, target);
    if (!ok) DeleteFileW(temp.c_str());
    return ok;
}

}  // namespace kiro::io::native

// The file layer's bridge to the operating system: a toolkit path (wide, '\' or '/' between
// folders) as the platform's path type, and the few services that differ per platform.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace kiro::io::native {

// Linux: '\' becomes '/' and the name is encoded as UTF-8. Windows: the wide path as it is.
std::filesystem::path path(const std::wstring& p);

// The separator listFiles puts between a folder and the names found in it.
wchar_t separator();

// Names (not paths) in one folder, in enumeration order, matching a '*'/'?' pattern, each
// flagged as folder or not. Empty when the folder cannot be read.
struct Entry {
    std::wstring name;
    bool folder = false;
};
std::vector<Entry> listFolder(const std::wstring& folder, const std::wstring& pattern);

// What makes a folder the same folder by whatever path it is reached (device and file
// number); false when the folder cannot be read.
using FolderId = std::pair<unsigned long long, unsigned long long>;
bool folderId(const std::wstring& folder, FolderId& id);

// Writes the bytes to a hidden temporary file beside the target, flushes it to disk and
// renames it over the target, so the target is either the old or the new file. A target that
// another program holds open is waited for briefly; false (nothing changed) when it stays held
// or anything else fails.
bool replaceFile(const std::wstring& target, const void* data, size_t size);

}  // namespace kiro::io::native

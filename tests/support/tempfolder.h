// A fresh folder under the system's temporary folder for one test, removed with its contents
// when the test ends; and small helpers to put bytes into files there.
#pragma once

#include <string>

namespace tavi::test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path, ending in a separator, so that path() + L"name" names a file in it.
    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + name; }

private:
    std::wstring path_;
};

// Writes the bytes (creating folders) and reads a file back as raw bytes ("" when missing).
void writeBytes(const std::wstring& path, const std::string& bytes);
std::string readBytes(const std::wstring& path);

}  // namespace tavi::test

// Test helpers: a fresh empty temporary folder, current for its lifetime, and the assembled
// application folder (TAVI_APP_DIR).
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/tempfolder.h"

namespace tavi::test {

// A fresh temporary folder, current while the object lives and removed afterwards.
class ScopedWorkFolder {
public:
    ScopedWorkFolder() : path_(std::filesystem::path(folder_.path()).parent_path()) {
        std::filesystem::current_path(path_);
    }
    ~ScopedWorkFolder() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

    // Writes bytes to a file below the folder, creating its folders.
    void write(const std::filesystem::path& relative, const std::string& bytes) const {
        writeBytes((path_ / relative).wstring(), bytes);
    }

private:
    std::filesystem::path previous_ = std::filesystem::current_path();
    TempFolder folder_;
    std::filesystem::path path_;
};

// The assembled application folder named by TAVI_APP_DIR (set by ctest), or empty.
inline std::filesystem::path appFolder() {
    const char* dir = std::getenv("TAVI_APP_DIR");
    return dir ? std::filesystem::path(dir) : std::filesystem::path();
}

}  // namespace tavi::test

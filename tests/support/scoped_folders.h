// Test helpers that make a folder the current directory for their lifetime: a fresh empty
// temporary folder, or the assembled application folder (TAVI_APP_DIR).
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/tempfolder.h"

namespace tavi::test {

// Changes the current directory and restores the previous one when it goes.
class ScopedCurrentFolder {
public:
    explicit ScopedCurrentFolder(const std::filesystem::path& folder)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~ScopedCurrentFolder() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }
    ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
    ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

private:
    std::filesystem::path previous_;
};

// A fresh temporary folder, current while the object lives and removed afterwards.
class ScopedWorkFolder {
public:
    ScopedWorkFolder() : path_(std::filesystem::path(folder_.path()).parent_path()), current_(path_) {}
    const std::filesystem::path& path() const { return path_; }

    // Writes bytes to a file below the folder, creating its folders.
    void write(const std::filesystem::path& relative, const std::string& bytes) const {
        writeBytes((path_ / relative).wstring(), bytes);
    }

private:
    TempFolder folder_;
    std::filesystem::path path_;
    ScopedCurrentFolder current_;
};

// The assembled application folder named by TAVI_APP_DIR (set by ctest), or empty.
inline std::filesystem::path appFolder() {
    const char* dir = std::getenv("TAVI_APP_DIR");
    return dir ? std::filesystem::path(dir) : std::filesystem::path();
}

}  // namespace tavi::test

// Test helpers that make a folder the current directory for their lifetime: a fresh empty
// temporary folder, or the assembled application folder (TAVI_APP_DIR).
#pragma once

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

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

// A new empty folder under the system's temporary folder, current while the object lives
// and removed with everything in it afterwards.
class ScopedWorkFolder {
public:
    ScopedWorkFolder() : path_(freshPath()) {
        std::filesystem::create_directories(path_);
        current_.emplace(path_);
    }
    ~ScopedWorkFolder() {
        current_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

    // Writes bytes to a file below the folder, creating its folders.
    void write(const std::filesystem::path& relative, const std::string& bytes) const {
        const auto target = path_ / relative;
        std::filesystem::create_directories(target.parent_path());
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        out << bytes;
    }

private:
    static std::filesystem::path freshPath() {
        static std::atomic<unsigned> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        return std::filesystem::temp_directory_path() /
               ("tavi-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    }

    std::filesystem::path path_;
    std::optional<ScopedCurrentFolder> current_;
};

// The assembled application folder named by TAVI_APP_DIR (set by ctest), or empty.
inline std::filesystem::path appFolder() {
    const char* dir = std::getenv("TAVI_APP_DIR");
    return dir ? std::filesystem::path(dir) : std::filesystem::path();
}

}  // namespace tavi::test

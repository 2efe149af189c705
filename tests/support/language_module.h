// Test helper: starts the language module (MeCab with the installed UniDic dictionary) from a
// "sorn" folder made inside a given folder, and stops it when the helper goes.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "sorn/sorn.h"
#include "support/scoped_folders.h"

namespace tavi::test {

class ScopedLanguageModule {
public:
    // shippedSettings: with the settings file of the application folder (its excluded nouns).
    explicit ScopedLanguageModule(const std::filesystem::path& folder, bool shippedSettings = false) {
        namespace fs = std::filesystem;
        fs::create_directories(folder / "sorn/etc");
        fs::create_directories(folder / "sorn/dic");
        std::ofstream(folder / "sorn/etc/mecabrc") << ";\n";
        std::error_code ignored;
        fs::create_directory_symlink(dictionary(), folder / "sorn/dic/unidic", ignored);
        if (shippedSettings) fs::copy_file(appFolder() / "sorn/sorn.json", folder / "sorn/sorn.json", ignored);
        ScopedCurrentFolder current(folder);
        sorn::finalize();
        started_ = sorn::initialize();
    }
    ~ScopedLanguageModule() { sorn::finalize(); }
    ScopedLanguageModule(const ScopedLanguageModule&) = delete;
    ScopedLanguageModule& operator=(const ScopedLanguageModule&) = delete;

    bool started() const { return started_; }

private:
    // The dictionary the application folder links to, else the one Debian installs.
    static std::filesystem::path dictionary() {
        const auto app = appFolder();
        if (!app.empty() && std::filesystem::exists(app / "sorn/dic/unidic/sys.dic"))
            return std::filesystem::canonical(app / "sorn/dic/unidic");
        return "/var/lib/mecab/dic/unidic";
    }

    bool started_ = false;
};

}  // namespace tavi::test

// Test helper: starts the language module (MeCab with the installed UniDic dictionary) from a
// "sorn" folder made in the current folder, and stops it when the helper goes.
#pragma once

#include <filesystem>
#include <fstream>

#include "sorn/sorn.h"
#include "support/scoped_folders.h"

namespace tavi::test {

class ScopedLanguageModule {
public:
    // shippedSettings: with the settings file of the application folder (its excluded nouns).
    explicit ScopedLanguageModule(bool shippedSettings = false) {
        namespace fs = std::filesystem;
        fs::create_directories("sorn/etc");
        fs::create_directories("sorn/dic");
        std::ofstream("sorn/etc/mecabrc") << ";\n";
        // The dictionary the application folder links to, else the one Debian installs.
        const fs::path linked = appFolder() / "sorn/dic/unidic";
        std::error_code ignored;
        fs::create_directory_symlink(
            fs::exists(linked / "sys.dic") ? fs::canonical(linked) : "/var/lib/mecab/dic/unidic", "sorn/dic/unidic",
            ignored);
        if (shippedSettings) fs::copy_file(appFolder() / "sorn/sorn.json", "sorn/sorn.json", ignored);
        sorn::finalize();
        started_ = sorn::initialize();
    }
    ~ScopedLanguageModule() { sorn::finalize(); }
    ScopedLanguageModule(const ScopedLanguageModule&) = delete;
    ScopedLanguageModule& operator=(const ScopedLanguageModule&) = delete;

    bool started() const { return started_; }

private:
    bool started_ = false;
};

}  // namespace tavi::test

// Test helper: a fresh work folder (see scoped_folders.h) with the language module (MeCab with
// the installed UniDic dictionary) started from a "sorn" folder in it, stopped when it goes.
#pragma once

#include <filesystem>

#include "sorn/sorn.h"
#include "support/scoped_folders.h"

namespace tavi::test {

struct ScopedLanguageModule : ScopedWorkFolder {
    // shippedSettings: with the settings file of the application folder (its excluded nouns);
    // ownSettings: with this settings file instead.
    explicit ScopedLanguageModule(bool shippedSettings = false, const std::string& ownSettings = "") {
        namespace fs = std::filesystem;
        write("sorn/etc/mecabrc", ";\n");
        fs::create_directories("sorn/dic");
        // The dictionary the application folder links to, else the one Debian installs.
        const fs::path linked = appFolder() / "sorn/dic/unidic";
        std::error_code ignored;
        fs::create_directory_symlink(
            fs::exists(linked / "sys.dic") ? fs::canonical(linked) : "/var/lib/mecab/dic/unidic", "sorn/dic/unidic",
            ignored);
        if (!ownSettings.empty()) write("sorn/sorn.json", ownSettings);
        if (shippedSettings) fs::copy_file(appFolder() / "sorn/sorn.json", "sorn/sorn.json", ignored);
        sorn::finalize();
        started = sorn::initialize();
    }
    ~ScopedLanguageModule() { sorn::finalize(); }

    bool started = false;
};

}  // namespace tavi::test

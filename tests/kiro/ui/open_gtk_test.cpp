// Opening addresses, folders and files through the desktop's handlers (GIO), and the failure box.
#include "kiro/ui/open.h"

#include "support/desktop_x11.h"

#include <gio/gio.h>
#include <glib/gstdio.h>
#include <unistd.h>

#include <algorithm>

#include "kiro/ui/boxflags.h"
#include "kiro/ui/text_gtk.h"
#include "support/uidriver.h"

namespace {

// A private desktop: a handler that logs what it was asked to open, the default for web
// addresses, folders and plain text. GLib reads these settings once, so they are made before
// any test touches it.
struct Desktop : ::testing::Environment {
    static inline std::string root;
    void SetUp() override {
        gchar* dir = g_dir_make_tmp("tavi-open-XXXXXX", nullptr);
        root = dir;
        g_free(dir);
        for (const std::string& v : e2e::notingHandler(root, "x-scheme-handler/http;inode/directory;text/plain"))
            g_setenv(v.substr(0, v.find('=')).c_str(), v.substr(v.find('=') + 1).c_str(), TRUE);
    }
};
const auto* const desktop = ::testing::AddGlobalTestEnvironment(new Desktop);

// Calls open(path) expecting it to fail with a box; returns what the box said.
std::wstring failingOpen(const std::wstring& path) {
    uitest::Rescue rescue;
    uitest::BoxSeen seen;
    uitest::answerBox(&seen, kiro::ui::IdOk);
    EXPECT_FALSE(kiro::ui::open(path));
    EXPECT_EQ(seen.caption, L"failed ShellExecute()");
    return seen.text;
}

using Open = uitest::Ui;

TEST_F(Open, AddressesFoldersAndFilesReachTheirHandlersAndFailuresAreTold) {
    gchar* cwd = g_get_current_dir();
    ASSERT_EQ(chdir(Desktop::root.c_str()), 0);
    g_mkdir_with_parents("temp/メモ", 0700);
    e2e::writeFile("temp/rss.html.txt", "plain text\n");
    {
        uitest::Rescue rescue;  // a missing handler would show a box
        EXPECT_TRUE(kiro::ui::open(L"http://example.invalid/page?a=1&b=%E3%81%82"));
        EXPECT_TRUE(kiro::ui::open(L"temp\\メモ"));  // relative: by the full path
        EXPECT_TRUE(kiro::ui::open(L"temp/rss.html.txt"));
    }
    const std::string log = Desktop::root + "/opened.txt";
    uitest::waitUntil([&] {
        const std::string text = e2e::readFile(log);
        return std::count(text.begin(), text.end(), '\n') >= 3;
    });
    for (const std::string& line :
         {std::string("http://example.invalid/page?a=1&b=%E3%81%82\n"), Desktop::root + "/temp/メモ\n",
          Desktop::root + "/temp/rss.html.txt\n"})
        EXPECT_NE(e2e::readFile(log).find(line), std::string::npos) << e2e::readFile(log);
    ASSERT_EQ(chdir(cwd), 0);
    g_free(cwd);
    g_remove(log.c_str());
    const std::wstring root = kiro::ui::gtk::wide(Desktop::root.c_str());
    EXPECT_EQ(failingOpen(root + L"/no-such-file.txt"), L"(SE_ERR_FNF)\nThe specified file was not found.");
    EXPECT_EQ(failingOpen(root + L"/no-such-folder/file.txt"), L"(SE_ERR_PNF)\nThe specified path was not found.");
    uitest::pump(200);
    EXPECT_FALSE(g_file_test(log.c_str(), G_FILE_TEST_EXISTS));
    GAppInfo* browser = g_app_info_get_default_for_uri_scheme("https");
    if (browser != nullptr) {
        g_object_unref(browser);
        GTEST_SKIP() << "this desktop has a handler for https";
    }
    EXPECT_EQ(failingOpen(L"https://example.invalid/").rfind(L"(SE_ERR_NOASSOC)\n", 0), 0u);
}

}  // namespace

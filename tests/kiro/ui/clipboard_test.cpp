// Clipboard text: round trips inside the program and to another X client.
#include "kiro/ui/clipboard.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <glib/gstdio.h>

#include "kiro/ui/text_gtk.h"
#include "support/uidriver_gtk.h"

namespace {

using kiro::ui::getClipboardText;
using kiro::ui::setClipboardText;

class Clipboard : public ::testing::Test {
protected:
    void SetUp() override {
        if (!uitest::startGtk()) GTEST_SKIP() << "no X display";
    }
};

TEST_F(Clipboard, RoundTripKeepsTextRefusesEmptyAndReplacesBadCodePoints) {
    const std::wstring text = L"メモ：今日は晴れ\n二行目 tab\there";
    ASSERT_TRUE(setClipboardText(text));
    EXPECT_EQ(getClipboardText(), text);

    // Empty text is refused and leaves the clipboard alone.
    EXPECT_FALSE(setClipboardText(L""));
    EXPECT_EQ(getClipboardText(), text);
    // A lone surrogate cannot travel as UTF-8: it becomes a replacement character.
    std::wstring odd = L"a";
    odd.push_back(static_cast<wchar_t>(0xD800));
    ASSERT_TRUE(setClipboardText(odd + L"b"));
    EXPECT_EQ(getClipboardText(), L"a\uFFFDb");
}

// Run only as the child of the next test: prints what another process finds on the clipboard.
TEST(ClipboardChild, WriteClipboardToFile) {
    const char* out = g_getenv("TAVI_CLIPBOARD_CHILD");
    if (out == nullptr) GTEST_SKIP() << "only run as a child process";
    ASSERT_TRUE(uitest::startGtk());
    std::ofstream(out, std::ios::binary) << kiro::ui::gtk::utf8(getClipboardText());
}

TEST_F(Clipboard, AnotherProgramReadsTheText) {
    ASSERT_TRUE(setClipboardText(L"共有テキスト\nline 2"));

    gchar* dir = g_dir_make_tmp("tavi-clip-XXXXXX", nullptr);
    ASSERT_NE(dir, nullptr);
    const std::string outFile = std::string(dir) + "/out.txt";
    gchar** env = g_environ_setenv(g_get_environ(), "TAVI_CLIPBOARD_CHILD", outFile.c_str(), TRUE);
    gchar* self = g_file_read_link("/proc/self/exe", nullptr);
    ASSERT_NE(self, nullptr);
    gchar* argv[] = {self, const_cast<gchar*>("--gtest_filter=ClipboardChild.*"), nullptr};
    GPid pid = 0;
    ASSERT_TRUE(g_spawn_async(nullptr, argv, env, GSpawnFlags(G_SPAWN_DO_NOT_REAP_CHILD |
                                                                  G_SPAWN_STDOUT_TO_DEV_NULL),
                              nullptr, nullptr, &pid, nullptr));
    static bool exited;  // outlives the test should the child hang
    exited = false;
    g_child_watch_add(pid, [](GPid p, gint, gpointer data) {
        *static_cast<bool*>(data) = true;
        g_spawn_close_pid(p);
    }, &exited);
    // The child's request is answered by this process's main loop.
    EXPECT_TRUE(uitest::waitUntil([&] { return exited; }, 20000));

    std::ifstream in(outFile, std::ios::binary);
    std::stringstream got;
    got << in.rdbuf();
    EXPECT_EQ(got.str(), "共有テキスト\nline 2");

    g_remove(outFile.c_str());
    g_rmdir(dir);
    g_free(self);
    g_strfreev(env);
    g_free(dir);
}

}  // namespace

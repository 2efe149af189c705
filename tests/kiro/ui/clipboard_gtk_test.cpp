// Clipboard text offered to another X client: this process must answer its request from the
// main loop while the child reads.
#include <glib/gstdio.h>

#include "kiro/ui/clipboard.h"
#include "kiro/ui/text_gtk.h"
#include "support/tempfolder.h"
#include "support/uidriver.h"

// Run only as the child of the next test: writes what another process finds on the clipboard.
TEST(ClipboardChild, WriteClipboardToFile) {
    const char* out = g_getenv("TAVI_CLIPBOARD_CHILD");
    if (out == nullptr) GTEST_SKIP() << "only run as a child process";
    ASSERT_TRUE(uitest::start());
    tavi::test::writeBytes(kiro::ui::gtk::wide(out), kiro::ui::gtk::utf8(kiro::ui::getClipboardText()));
}

TEST(ClipboardGtk, AnotherProgramReadsTheText) {
    ASSERT_TRUE(uitest::start());
    ASSERT_TRUE(kiro::ui::setClipboardText(L"共有テキスト\nline 2"));
    tavi::test::TempFolder folder;
    const std::string out = kiro::ui::gtk::utf8(folder / L"out.txt");
    gchar** env = g_environ_setenv(g_get_environ(), "TAVI_CLIPBOARD_CHILD", out.c_str(), TRUE);
    gchar* self = g_file_read_link("/proc/self/exe", nullptr);
    gchar* argv[] = {self, const_cast<gchar*>("--gtest_filter=ClipboardChild.*"), nullptr};
    static bool exited;  // outlives the test should the child hang
    exited = false;
    GPid pid = 0;
    ASSERT_TRUE(g_spawn_async(nullptr, argv, env, GSpawnFlags(G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_STDOUT_TO_DEV_NULL),
                              nullptr, nullptr, &pid, nullptr));
    g_child_watch_add(
        pid, [](GPid p, gint, gpointer done) { *static_cast<bool*>(done) = true, g_spawn_close_pid(p); }, &exited);
    EXPECT_TRUE(uitest::waitUntil([&] { return exited; }, 20000));
    EXPECT_EQ(tavi::test::readBytes(folder / L"out.txt"), "共有テキスト\nline 2");
    g_free(self);
    g_strfreev(env);
}

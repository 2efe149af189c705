// The built program with a feed list that points at the local test server: the character
// speaks when the feeds bring news, and "受信済みフィードを表示(&F)" writes the page and hands it
// to the desktop's browser (here a script that notes what it was given).
#include <gtest/gtest.h>

#include <cstdlib>

#include "e2e/companion_x11.h"
#include "kiro/io/charset/charset.h"
#include "support/feedserver.h"

namespace e2e {
namespace {

// Makes a script that notes its argument the desktop's handler for web pages, for programs
// started while the object lives; the test process's own settings come back afterwards.
struct NotingBrowser {
    explicit NotingBrowser(const fs::path& root) : noted(root / "opened.txt") {
        writeFile(root / "browser.sh", "#!/bin/sh\necho \"$1\" > '" + noted.string() + "'\n");
        fs::permissions(root / "browser.sh", fs::perms::owner_all);
        writeFile(root / "applications/noting.desktop",
                  "[Desktop Entry]\nType=Application\nName=noting\nExec=" + (root / "browser.sh").string() + " %u\n");
        writeFile(root / "mimeapps.list", "[Default Applications]\ntext/html=noting.desktop\n");
        for (const char* key : Keys) {
            saved.push_back(std::getenv(key) ? std::optional<std::string>(std::getenv(key)) : std::nullopt);
            setenv(key, root.c_str(), 1);
        }
    }
    ~NotingBrowser() {
        for (size_t i = 0; i < saved.size(); ++i) saved[i] ? setenv(Keys[i], saved[i]->c_str(), 1) : unsetenv(Keys[i]);
    }
    static constexpr const char* Keys[] = {"XDG_DATA_HOME", "XDG_CONFIG_HOME"};
    fs::path noted;
    std::vector<std::optional<std::string>> saved;
};

using FeedsTest = ProgramTest;

TEST_F(FeedsTest, NewsMakeTheCharacterSpeakAndTheMenuOpensThePageOfThem) {
    // The character knows only the feed events and learns no corpus, so any line it says is
    // one of them, and it is ready at once.
    const fs::path brain = copy_->folder() / "units/mebu/brain";
    writeFile(brain / "event.json",
              R"({"tool_feed_received": ["ニュースが届いたよ。"], "tool_feed_dump": ["一覧を開くね。"]})");
    writeFile(brain / "response.json", "{}");
    fs::remove_all(brain / "models/corpus");
    writeFile(copy_->folder() / "etc/rss-urls.txt",
              "# the test server\n" +
                  kiro::io::toUtf8(tavi::test::served("TAVI_HTTP", L"/data/feeds/rss1-rdf.in") + L"\n" +
                                   tavi::test::served("TAVI_HTTP", L"/data/feeds/atom-links-and-dates.in")));
    const NotingBrowser browser(copy_->folder().parent_path());

    AppProcess app(*copy_);
    Companion c(*desk_, app);
    const auto body = c.waitBody();
    ASSERT_TRUE(body);
    EXPECT_TRUE(waitFor([&] { return c.balloonShowing(*body); }, 30s)) << "no line for the news";
    Companion::screenshot("feed-received");
    ASSERT_TRUE(waitFor([&] { return !c.balloonShowing(*body); }, 30s)) << "the line stays";

    // "受信済みフィードを表示(&F)"
    const fs::path page = copy_->folder() / "temp/rss.html";
    ASSERT_TRUE(c.pick(*body, "f"));
    EXPECT_TRUE(waitFor([&] { return readFile(browser.noted).find("/temp/rss.html") != std::string::npos; }, 10s))
        << "the browser was not given the page: " << readFile(browser.noted);
    EXPECT_NE(readFile(page).find("<p>5 件のニュースフィード</p>"), std::string::npos) << readFile(page);
    EXPECT_TRUE(waitFor([&] { return c.balloonShowing(*body); }, 10s)) << "no line for the dump";
    if (const char* shots = std::getenv("TAVI_E2E_SHOTS"))
        fs::copy_file(page, fs::path(shots) / "rss.html", fs::copy_options::overwrite_existing);

    ASSERT_TRUE(c.pick(*body, "x"));
    EXPECT_EQ(app.waitExit(10s), 0);
}

}  // namespace
}  // namespace e2e

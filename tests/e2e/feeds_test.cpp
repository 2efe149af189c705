// The built program with a feed list that points at the local test server: the character
// speaks when the feeds bring news, and "受信済みフィードを表示(&F)" writes the page and hands it
// to the desktop's browser (here a script that notes what it was given).

#include "kiro/io/charset/charset.h"
#include "support/desktop_x11.h"
#include "support/feedserver.h"

namespace e2e {
namespace {

using FeedsTest = ProgramTest;

TEST_F(FeedsTest, NewsMakeTheCharacterSpeakAndTheMenuOpensThePageOfThem) {
    // The character knows only the feed events and learns no corpus, so any line it says is
    // one of them, and it is ready at once.
    const fs::path brain = folder_ / "units/mebu/brain";
    writeFile(brain / "event.json",
              R"({"tool_feed_received": ["ニュースが届いたよ。"], "tool_feed_dump": ["一覧を開くね。"]})");
    writeFile(brain / "response.json", "{}");
    fs::remove_all(brain / "models/corpus");
    writeFile(folder_ / "etc/rss-urls.txt",
              "# the test server\n" +
                  kiro::io::toUtf8(tavi::test::served("TAVI_HTTP", L"/data/feeds/rss1-rdf.in") + L"\n" +
                                   tavi::test::served("TAVI_HTTP", L"/data/feeds/atom-links-and-dates.in")));
    const fs::path root = folder_.parent_path(), noted = root / "opened.txt";
    const auto app = start(notingHandler(root, "text/html"));
    const auto body = app->waitBody();
    ASSERT_TRUE(body);
    EXPECT_TRUE(waitFor([&] { return app->balloonShowing(*body); }, 30s)) << "no line for the news";
    ASSERT_TRUE(waitFor([&] { return !app->balloonShowing(*body); }, 30s)) << "the line stays";

    // "受信済みフィードを表示(&F)"
    const fs::path page = folder_ / "temp/rss.html";
    ASSERT_TRUE(app->pick(*body, "f"));
    EXPECT_TRUE(waitFor([&] { return readFile(noted).find("/temp/rss.html") != std::string::npos; }, 10s))
        << "the browser was not given the page: " << readFile(noted);
    EXPECT_NE(readFile(page).find("<p>5 件のニュースフィード</p>"), std::string::npos) << readFile(page);
    EXPECT_TRUE(waitFor([&] { return app->balloonShowing(*body); }, 10s)) << "no line for the dump";
    if (const char* shots = std::getenv("TAVI_E2E_SHOTS"))
        fs::copy_file(page, fs::path(shots) / "rss.html", fs::copy_options::overwrite_existing);
}

}  // namespace
}  // namespace e2e

// The feed reader's portable parts: items and pages made from the documents under
// tests/data/feeds and tests/data/feedpage, and the fetch cycle against the local servers.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "kiro/io/charset/charset.h"
#include "kiro/io/xml.h"
#include "support/cases.h"
#include "support/feedserver.h"
#include "support/tempfolder.h"
#include "tavi/tool/rss.h"

namespace {

using namespace std::chrono_literals;
using tavi::tool::FeedItem;

std::vector<FeedItem> itemsOf(const std::string& bytes) {
    return tavi::tool::extractFeedItems(kiro::io::Xml(bytes.data(), bytes.size()));
}

TEST(Feed, ItemsOfEachDocument) {
    tavi::test::runCases("feeds", [](const std::string& bytes) {
        using tavi::test::visible;
        tavi::test::Outcome outcome;
        for (const FeedItem& i : itemsOf(bytes))
            outcome.out += visible(i.title) + "|" + visible(i.link) + "|" + visible(i.description) + "|" + visible(i.date) + "\n";
        return outcome;
    });
}

TEST(Feed, PageListsTheItemsEscaped) {
    tavi::test::runCases("feedpage", [](const std::string& bytes) {
        return tavi::test::Outcome{kiro::io::toUtf8(tavi::tool::feedPage(itemsOf(bytes))), ""};
    });
}

std::wstring feed(const char* server, const std::wstring& name) {
    return tavi::test::served(server, L"/data/feeds/" + name + L".in");
}

std::vector<std::wstring> titles(const tavi::tool::FeedCollection& feeds) {
    std::vector<std::wstring> out;
    for (const FeedItem& item : feeds.items()) out.push_back(item.title);
    return out;
}

TEST(FeedCycle, FetchesInOrderKeepsNewTitlesAndLeavesAStalledFeedToTheNextCycle) {
    tavi::test::trustServers();
    const tavi::test::TempFolder folder;
    const std::wstring list = folder / L"rss-urls.txt";
    const std::wstring before = L"# the test's feeds\n\n" + feed("TAVI_HTTP", L"rss2-carried-description") + L"\r\n" +
                                feed("TAVI_HTTPS", L"atom-links-and-dates") + L"\n" +
                                feed("TAVI_HTTPS", L"rss2-carried-description") + L"\n";
    const std::wstring after = feed("TAVI_HTTP", L"rss1-rdf") + L"\n";
    tavi::test::writeBytes(list, kiro::io::toUtf8(before + tavi::test::served("TAVI_HTTP", L"/stall") + L"\n" + after));

    std::atomic<bool> stop{false};
    tavi::tool::FeedCollection feeds;
    const auto start = std::chrono::steady_clock::now();
    // The same items through a second address are not new.
    EXPECT_EQ(feeds.merge(tavi::tool::fetchFeeds(list, stop)), 5u);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GT(took, 9s) << "the stalled feed was given up too early";
    EXPECT_LT(took, 30s);
    const std::vector<std::wstring> first = {L"図書館の夜間開館がはじまります", L"駅前の桜が満開に",
                                             L"ツバメのひなが巣立ちました", L"メジロが梅の木に", L"古い記録の整理"};
    EXPECT_EQ(titles(feeds), first);

    // The list is read again: the feed after the stalled one comes in the next cycle; a cycle
    // that brings only known titles adds nothing.
    tavi::test::writeBytes(list, kiro::io::toUtf8(before + after));
    EXPECT_EQ(feeds.merge(tavi::tool::fetchFeeds(list, stop)), 2u);
    EXPECT_EQ(feeds.merge(tavi::tool::fetchFeeds(list, stop)), 0u);
    std::vector<std::wstring> all = first;
    all.insert(all.end(), {L"今夜は月が細く、星がよく見えます", L"雨のため観察会は延期"});
    EXPECT_EQ(titles(feeds), all);
}

TEST(FeedCycle, WorkerTellsOfNewItemsOncePerCycleAndPausesInSecondsUntilStopped) {
    const tavi::test::TempFolder folder;
    const std::wstring list = folder / L"rss-urls.txt";
    tavi::test::writeBytes(list, kiro::io::toUtf8(feed("TAVI_HTTP", L"rss1-rdf")));
    std::atomic<bool> stop{false};
    tavi::tool::FeedCollection feeds;
    int received = 0;
    std::vector<std::chrono::milliseconds> sleeps;
    // The sleeps return at once; stop comes five seconds into the second pause.
    const size_t stopAt = 1 + 900 + 5;
    tavi::tool::runFeeds(list, feeds, stop, [&] { ++received; }, [&](std::chrono::milliseconds time) {
        sleeps.push_back(time);
        if (sleeps.size() == stopAt) stop = true;
    });
    EXPECT_EQ(received, 1);
    EXPECT_EQ(feeds.items().size(), 2u);
    EXPECT_EQ(sleeps.size(), stopAt);
    EXPECT_EQ(std::count(sleeps.begin(), sleeps.end(), 1000ms), std::ptrdiff_t(stopAt));
}

TEST(FeedCycle, StopDuringAFetchEndsTheWorkerWithinASecond) {
    const tavi::test::TempFolder folder;
    const std::wstring list = folder / L"rss-urls.txt";
    tavi::test::writeBytes(list, kiro::io::toUtf8(tavi::test::served("TAVI_HTTP", L"/stall")));
    std::atomic<bool> stop{false};
    tavi::tool::FeedCollection feeds;
    std::thread worker([&] { tavi::tool::runFeeds(list, feeds, stop, [] {}, [](std::chrono::milliseconds) {}); });
    std::this_thread::sleep_for(2500ms);
    const auto start = std::chrono::steady_clock::now();
    stop = true;
    worker.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_TRUE(feeds.items().empty());
}

}  // namespace

// The feed reader's portable parts: items and pages made from the documents under
// tests/data/feeds and tests/data/feedpage, and the fetch cycle against the local servers.
#include <gtest/gtest.h>

#include <chrono>

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

TEST(Feed, ItemsOfEachDocumentAndThePageListingThemEscaped) {
    using tavi::test::visible;
    tavi::test::runCases("feeds", [](const std::string& bytes) {
        tavi::test::Outcome outcome;
        for (const FeedItem& i : itemsOf(bytes))
            outcome.out +=
                visible(i.title) + "|" + visible(i.link) + "|" + visible(i.description) + "|" + visible(i.date) + "\n";
        return outcome;
    });
    tavi::test::runCases("feedpage", [](const std::string& bytes) {
        return tavi::test::Outcome{kiro::io::toUtf8(tavi::tool::feedPage(itemsOf(bytes))), ""};
    });
}

std::wstring feed(const char* server, const std::wstring& name) {
    return tavi::test::served(server, L"/data/feeds/" + name + L".in") + L"\n";
}

// A feed list in a fresh folder, fetched by cycles (whose titles are collected) and by the worker.
TEST(FeedCycle, FetchesInOrderKeepsNewTitlesLeavesAStalledFeedToTheNextCycleAndTheWorkerPauses) {
    const tavi::test::TempFolder folder;
    const std::wstring list = folder / L"rss-urls.txt";
    std::atomic<bool> stop{false};
    tavi::tool::FeedCollection feeds;
    auto write = [&](const std::wstring& text) { tavi::test::writeBytes(list, kiro::io::toUtf8(text)); };
    auto cycle = [&] { return feeds.merge(tavi::tool::fetchFeeds(list, stop)); };
    auto titles = [&] {
        std::wstring all;
        for (const FeedItem& item : feeds.items()) all += item.title + L"|";
        return all;
    };
    tavi::test::trustServers();
    // The second address brings the same items again: they are not new.
    const std::wstring before = L"# the test's feeds\n\n" + feed("TAVI_HTTP", L"rss2-carried-description") +
                                feed("TAVI_HTTPS", L"atom-links-and-dates") +
                                feed("TAVI_HTTPS", L"rss2-carried-description");
    write(before + tavi::test::served("TAVI_HTTP", L"/stall\r\n") + feed("TAVI_HTTP", L"rss1-rdf"));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(cycle(), 5u);
    EXPECT_GT(std::chrono::steady_clock::now() - start, 9s) << "the stalled feed was given up too early";
    EXPECT_LT(std::chrono::steady_clock::now() - start, 30s);
    const std::wstring first =
        L"図書館の夜間開館がはじまります|駅前の桜が満開に|ツバメのひなが巣立ちました|メジロが梅の木に|古い記録の整理|";
    EXPECT_EQ(titles(), first);

    // The list is read again: the feed after the stalled one comes in the next cycle; a cycle
    // that brings only known titles adds nothing.
    write(before + feed("TAVI_HTTP", L"rss1-rdf"));
    EXPECT_EQ(cycle(), 2u);
    EXPECT_EQ(cycle(), 0u);
    EXPECT_EQ(titles(), first + L"今夜は月が細く、星がよく見えます|雨のため観察会は延期|");

    // The worker, on a fresh collection, tells of new items once per cycle and pauses fifteen
    // minutes until stopped.
    write(feed("TAVI_HTTP", L"rss1-rdf"));
    tavi::tool::FeedCollection fresh;
    int received = 0;
    std::vector<std::chrono::milliseconds> sleeps;
    // The sleeps return at once; stop comes during the second pause.
    tavi::tool::runFeeds(
        list, fresh, stop, [&] { ++received; },
        [&](std::chrono::milliseconds time) {
            sleeps.push_back(time);
            if (sleeps.size() == 3) stop = true;
        });
    EXPECT_EQ(received, 1);
    EXPECT_EQ(fresh.items().size(), 2u);
    EXPECT_EQ(sleeps, (std::vector<std::chrono::milliseconds>{1000ms, 900000ms, 900000ms}));
}

}  // namespace

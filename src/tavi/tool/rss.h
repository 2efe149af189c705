// The feed reader: a worker fetches the feeds named in a list file every 15 minutes, keeps the
// items whose titles it has not seen and raises "tool_feed_received" when there are new ones;
// "rss -dump" shows the items as a page in the user's browser. Reading feed documents, the
// merge, the page and the fetch cycle are portable (the feed*.cpp files, in tavi_core); the
// tool itself, which opens the page, is not.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "tavi/tool/toolkit.h"

namespace kiro::io {
class Xml;
}

namespace tavi::tool {

struct FeedItem {
    std::wstring title;
    std::wstring link;
    std::wstring description;  // kept, shown nowhere
    std::wstring date;         // the feed's own text, not interpreted

    bool operator==(const FeedItem& o) const {
        return title == o.title && link == o.link && description == o.description && date == o.date;
    }
};

// The items of an RSS 1.0, RSS 2.0 or Atom document, which is recognised by its first element
// whatever comes before it; no items for anything else. One current item serves the whole
// document: a field that an item lacks keeps the value of the item before it.
std::vector<FeedItem> extractFeedItems(const kiro::io::Xml& document);

// The items collected since start, oldest first, and the titles seen. The worker merges into
// it while the dump reads it on the UI thread.
class FeedCollection {
public:
    // Appends, in order, copies of the items whose titles were not seen before (by this call
    // or an earlier one); returns how many.
    size_t merge(const std::vector<FeedItem>& found);
    std::vector<FeedItem> items() const;

private:
    mutable std::mutex lock_;
    std::unordered_set<std::wstring> seen_;
    std::vector<FeedItem> items_;
};

// The page that lists the items: a count and one line per item with its link and date. Every
// text inserted is escaped, and only http and https addresses become links.
std::wstring feedPage(const std::vector<FeedItem>& items);

// One pass over the list file (one address a line; empty lines and lines beginning with '#'
// skipped; read again on every call): fetches the feeds one after another and returns their
// items. A feed still downloading after about 10 s ends the pass, and so does stop.
std::vector<FeedItem> fetchFeeds(const std::wstring& listPath, const std::atomic<bool>& stop);

// Sleeps the given time or less; the worker checks its stop flag after each call.
using FeedSleep = std::function<void(std::chrono::milliseconds)>;

// The worker's life: a second's delay, then until stop: a fetch pass, the merge, received()
// when new items came, and a pause of 900 sleeps of a second.
void runFeeds(const std::wstring& listPath, FeedCollection& feeds, const std::atomic<bool>& stop,
              const std::function<void()>& received, const FeedSleep& sleep);

class Rss : public IToolKit {
public:
    using Open = std::function<bool(const std::wstring& path)>;

    // Where the dump writes its page, relative to the application folder.
    static constexpr const wchar_t* PagePath = L"temp\\rss.html";

    // Opens pages in the user's browser; the worker's sleeps end early when the tool goes.
    explicit Rss(const std::wstring& listPath);
    // For tests: how pages are opened, and the worker's sleep (null: the tool's own).
    Rss(const std::wstring& listPath, Open open, FeedSleep sleep);
    ~Rss() override;

    // "rss -dump": "tool_feed_empty" without items; otherwise "tool_feed_dump", and the page is
    // written and opened.
    void command(const Command& command) override;

private:
    void sleep(std::chrono::milliseconds time);

    FeedCollection feeds_;
    Open open_;
    std::atomic<bool> stop_{false};
    std::mutex stopLock_;
    std::condition_variable stopped_;
    std::thread worker_;
};

}  // namespace tavi::tool

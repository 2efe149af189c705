// The feed reader tool: owns the worker that runs the fetch cycle, raises the feed events and
// writes and opens the page on "rss -dump".
#include "tavi/tool/rss.h"

#include <utility>

#include "kiro/io/text.h"
#include "kiro/ui/open.h"
#include "tavi/events.h"

namespace tavi::tool {

Rss::Rss(const std::wstring& listPath) : Rss(listPath, kiro::ui::open, nullptr) {}

Rss::Rss(const std::wstring& listPath, Open open, FeedSleep sleep) : open_(std::move(open)) {
    if (!sleep) sleep = [this](std::chrono::milliseconds time) { this->sleep(time); };
    worker_ = std::thread([this, listPath, sleep = std::move(sleep)] {
        runFeeds(
            listPath, feeds_, stop_, [this] { raise(events::toolFeedReceived()); }, sleep);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

Rss::~Rss() {
    {
        std::lock_guard<std::mutex> hold(stopLock_);
        stop_ = true;
    }
    stopped_.notify_all();
    if (worker_.joinable()) worker_.join();
}

void Rss::sleep(std::chrono::milliseconds time) {
    std::unique_lock<std::mutex> hold(stopLock_);
    stopped_.wait_for(hold, time, [this] { return stop_.load(); });
}

void Rss::command(const Command& command) {
    if (!command.hasOption(L"dump")) return;
    const std::vector<FeedItem> items = feeds_.items();
    if (items.empty()) {
        raise(events::toolFeedEmpty());
        return;
    }
    raise(events::toolFeedDump());
    kiro::io::Text page;
    page.append(feedPage(items));
    // A failed save is not reported: the browser then shows the previous page, or none.
    page.save(PagePath);
    if (open_) open_(PagePath);
}

}  // namespace tavi::tool

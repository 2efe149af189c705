// The feed reader's fetch cycle: the list file read afresh, the feeds fetched one after
// another with a bounded wait each, the merge, and the pause until the next cycle.
#include "kiro/io/download.h"
#include "kiro/io/pages.h"
#include "kiro/io/text.h"
#include "kiro/io/xml.h"
#include "tavi/tool/rss.h"

namespace tavi::tool {

namespace {

constexpr int WaitSteps = 10;  // of a second each, for one feed
constexpr std::chrono::milliseconds Step(1000);
// One wait, which stop cuts short: a worker waking every second would cost the idle
// companion more than all its characters.
constexpr std::chrono::milliseconds Pause(900 * 1000);

}  // namespace

std::vector<FeedItem> fetchFeeds(const std::wstring& listPath, const std::atomic<bool>& stop) {
    std::vector<FeedItem> found;
    // A large feed's memory serves the next one; it all goes back when the cycle ends.
    const kiro::io::pages::Reuse reuse;
    const kiro::io::Text list(listPath);
    for (const std::wstring& address : list.split(L'\n')) {
        if (address.empty() || address.front() == L'#') continue;
        kiro::io::Download download(address);
        bool complete = false;
        for (int step = 0; step < WaitSteps && !stop && !complete; ++step) {
            complete = download.wait(uint32_t(Step.count()));
        }
        // A stalled feed ends the cycle's fetching: the feeds after it wait for the next one.
        if (stop || !complete) {
            download.cancel();
            break;
        }
        const kiro::io::Xml document(download.data(), download.size());
        const std::vector<FeedItem> items = extractFeedItems(document);
        found.insert(found.end(), items.begin(), items.end());
    }
    return found;
}

void runFeeds(const std::wstring& listPath, FeedCollection& feeds, const std::atomic<bool>& stop,
              const std::function<void()>& received, const FeedSleep& sleep) {
    sleep(Step);
    while (!stop) {
        if (feeds.merge(fetchFeeds(listPath, stop)) > 0) received();
        if (!stop) sleep(Pause);
    }
}

}  // namespace tavi::tool

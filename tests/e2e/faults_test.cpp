// The built program fed by a hostile feed server (also run by tools/fault-tests.sh).
#include "kiro/io/charset/charset.h"
#include "support/desktop_x11.h"
#include "support/feedserver.h"

namespace e2e {
namespace {

using FaultsTest = ProgramTest;

// The process's own resident memory: anonymous pages only, since the mapped dictionary's pages
// belong to the page cache and come and go with the system's needs.
long residentKiB(pid_t pid) {
    const std::string status = readFile("/proc/" + std::to_string(pid) + "/status");
    const auto at = status.find("RssAnon:");
    return at == std::string::npos ? -1 : std::atol(status.c_str() + at + 8);
}

double msSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Milliseconds until the window's UI thread answers a ping (the toolkit answers _NET_WM_PING
// from its event loop), or -1 when no answer comes within 2 s. x watches the root window.
double ping(Display* x, ::Window window, long serial) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = long(XInternAtom(x, "_NET_WM_PING", False));
    e.xclient.data.l[1] = serial;
    e.xclient.data.l[2] = long(window);
    const auto start = std::chrono::steady_clock::now();
    XSendEvent(x, window, False, NoEventMask, &e);
    XFlush(x);
    const auto answered = [&] {
        while (XCheckTypedEvent(x, ClientMessage, &e))
            if (e.xclient.data.l[1] == serial) return true;
        return false;
    };
    return waitFor(answered, 2s, 1ms) ? msSince(start) : -1;
}

// A feed server that sends a 100 MiB body and then stalls: the UI thread goes on answering, the
// memory stays bounded, and the program ends promptly while it waits for the stalled feed.
TEST_F(FaultsTest, HostileFeedServerNeitherStallsNorBloatsNorDelaysTheExit) {
    writeFile(copy_->folder() / "etc/rss-urls.txt", kiro::io::toUtf8(tavi::test::served("TAVI_HTTP", L"/big/100\n") +
                                                                     tavi::test::served("TAVI_HTTP", L"/stall")));
    // No corpus to learn: what the program takes beyond its start is the feeds'.
    fs::remove_all(copy_->folder() / "units/mebu/brain/models/corpus");
    AppProcess app(*copy_);
    const auto body = Companion(*desk_, app).waitBody();
    ASSERT_TRUE(body);
    const long startKiB = residentKiB(app.pid());
    // The feeds come one after another from a second after the start.
    Display* x = XOpenDisplay(nullptr);
    XSelectInput(x, DefaultRootWindow(x), SubstructureNotifyMask);
    double slowest = 0;
    long peakKiB = startKiB, serial = 0;
    for (const auto until = std::chrono::steady_clock::now() + 8s; std::chrono::steady_clock::now() < until;) {
        const double answer = ping(x, body->id, ++serial);
        slowest = answer < 0 ? 1e9 : std::max(slowest, answer);
        peakKiB = std::max(peakKiB, residentKiB(app.pid()));
        std::this_thread::sleep_for(50ms);
    }
    XCloseDisplay(x);
    // Faults, not speed: a UI thread held up for a second, the body kept whole (bodies stop at
    // 32 MiB), an exit that waits for the stalled feed.
    EXPECT_LT(slowest, 1000) << "the UI thread stalled (" << serial << " pings)";
    EXPECT_LT(peakKiB - startKiB, 80 * 1024) << "the 100 MiB body is held (" << startKiB << " KiB at start)";
    const auto stop = std::chrono::steady_clock::now();
    app.signal(SIGTERM);
    ASSERT_EQ(app.waitExit(5s), 0);
    EXPECT_LT(msSince(stop), 1500) << "the exit waited for the stalled feed";
}

}  // namespace
}  // namespace e2e

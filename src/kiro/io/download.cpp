// The download's thread, its waiting in slices and its cancelling; the request itself is the
// platform's (download_curl.cpp, download_wininet.cpp).
#include "kiro/io/download.h"

#include <chrono>
#include <system_error>
#include <thread>

#include "kiro/io/download_platform.h"

namespace kiro::io {

namespace http {

bool keep(BinaryObject& body, const void* bytes, size_t n) {
    if (n == 0) return true;
    if (body.size() + n > Download::MaxBody) return false;
    return body.append(bytes, n);
}

}  // namespace http

Download::Download(const std::wstring& url) {
    try {
        worker_ = std::thread([this, url] {
            BinaryObject received;
            // Only a complete, accepted answer is handed over: a failure or a cancel leaves the
            // body empty.
            if (http::get(url, stop_, received)) body_ = received;
            ended_ = true;
        });
    } catch (const std::system_error&) {
        // No thread to fetch with (the system is out of them): a failed download, as any other.
        ended_ = true;
        return;
    }
    // Gives the thread a head start before the caller's first check.
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

Download::~Download() {
    cancel();
}

bool Download::wait(uint32_t milliseconds) {
    const auto start = std::chrono::steady_clock::now();
    const auto limit = std::chrono::milliseconds(milliseconds);
    while (!finished()) {
        if (std::chrono::steady_clock::now() - start > limit) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return finished();
}

void Download::cancel() {
    stop_ = true;
    if (worker_.joinable()) worker_.join();
}

void Download::trustAuthority(const std::wstring& pemFile) {
    http::trustAuthority(pemFile);
}

}  // namespace kiro::io

// One HTTP or HTTPS GET on a thread of its own, which the caller waits for in short slices and
// may give up on. The body is handed over as bytes; a failure gives an empty body.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>

#include "kiro/io/file.h"

namespace kiro::io {

class Download {
public:
    // A body larger than this is abandoned as a failure.
    static constexpr uint64_t MaxBody = 32ull << 20;

    // Starts the request at once. Only http and https addresses are fetched; the request is
    // never served from a cache, redirects are not followed (a 3xx answer is a failure), a
    // 401 or 407 answer is retried once with an empty user name and password and the second
    // answer is delivered whatever it is, any other status than 200 is a failure, and the
    // body is not decompressed. Certificates and host names are verified.
    explicit Download(const std::wstring& url);
    // Cancels and joins.
    ~Download();
    Download(const Download&) = delete;
    Download& operator=(const Download&) = delete;

    // Waits in 50 ms slices until the request has ended or more than the given time has
    // passed; returns whether it has ended (or was cancelled).
    bool wait(uint32_t milliseconds);
    bool busy() const { return !finished(); }
    // Asks the request to stop and waits for its thread, which notices within a fraction of a
    // second even when the server has stalled. The body then holds what had arrived.
    void cancel();

    // The body received; read it once the request has ended.
    const uint8_t* data() const { return body_.data(); }
    size_t size() const { return size_t(body_.size()); }

    // For tests: trust the certificate authority in this PEM file. On Linux it replaces the
    // system's authorities for every later request; on Windows it is added to the current
    // user's root store.
    static void trustAuthority(const std::wstring& pemFile);

private:
    bool finished() const { return stop_ || ended_; }

    BinaryObject body_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> ended_{false};
    std::thread worker_;
};

}  // namespace kiro::io

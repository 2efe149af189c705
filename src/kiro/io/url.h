// Splits an absolute URL into scheme, host, path, query and extension, with the default port.
#pragma once

#include <cstdint>
#include <string>

namespace kiro::io {

struct Url {
    // Text without "://" leaves every field empty and the port 0.
    explicit Url(const std::wstring& text);

    std::wstring full;       // scheme + "://" + host + path (no query)
    std::wstring scheme;     // before "://"
    std::wstring host;       // as written, a ":port" included
    std::wstring path;       // from the first '/' after the host, without query; "/" if none
    std::wstring query;      // after the first '?', without it
    std::wstring extension;  // after the last '.' of the path's last segment
    uint16_t port = 0;       // 80 for "http", 443 for "https", else 0
};

}  // namespace kiro::io

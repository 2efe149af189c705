// The local web servers that tests/support/feedserver.py runs around a test binary: their
// addresses from the environment, and trust in the certificate authority it made.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "kiro/io/charset/charset.h"
#include "kiro/io/download.h"

namespace tavi::test {

// The address of one server (TAVI_HTTP, TAVI_HTTPS, TAVI_HTTPS_OTHER_NAME, TAVI_HTTPS_EXPIRED)
// followed by path; the test fails when the binary was started without the servers.
inline std::wstring served(const char* server, const std::wstring& path) {
    const char* base = std::getenv(server);
    if (base == nullptr) {
        ADD_FAILURE() << server << " is not set: run the tests through tests/support/feedserver.py (ctest does)";
        return L"http://localhost:9" + path;
    }
    return kiro::io::fromUtf8(base) + path;
}

// Makes the servers' certificate authority trusted by every later download.
inline void trustServers() {
    if (const char* ca = std::getenv("TAVI_TEST_CA")) kiro::io::Download::trustAuthority(kiro::io::fromUtf8(ca));
}

}  // namespace tavi::test

// Long texts through detection and conversion: the eight-byte ASCII scan must see an odd byte
// wherever it sits, and the one-buffer conversion must give what a byte-by-byte reading gives.
#include <gtest/gtest.h>

#include <string>

#include "kiro/io/charset/charset.h"
#include "kiro/io/charset/detect.h"

namespace {

std::wstring dec(const std::string& bytes) { return kiro::io::decode(bytes.data(), bytes.size()); }

}  // namespace

TEST(DecodeLongText, OddBytesAtEveryPlaceOfAnEightByteWord) {
    const std::string plain(64, 'a');
    auto isUtf8 = [](const std::string& s) {
        return kiro::io::detect::isUtf8(reinterpret_cast<const uint8_t*>(s.data()), s.size());
    };
    for (size_t at = 0; at < 24; ++at) {
        SCOPED_TRACE(at);
        // 64 plain bytes with `bytes` written over them at `at`, and that text decoded.
        auto with = [&](const std::string& bytes) { return std::string(plain).replace(at, bytes.size(), bytes); };
        auto around = [&](const std::wstring& mid, size_t replaced) {
            return std::wstring(at, L'a') + mid + std::wstring(64 - at - replaced, L'a');
        };
        // A line feed is no plain byte but still UTF-8; a two-byte character split across words
        // is one character; Shift_JIS bytes are never UTF-8, so the scan must stop on them.
        EXPECT_EQ(dec(with("\n")), around(L"\n", 1));
        EXPECT_EQ(dec(with("\xC3\xA9")), around(L"é", 2));
        EXPECT_EQ(dec(with("\x8d\xa1")), around(L"\u4eca", 2));
        EXPECT_EQ(dec(with("\xe4\xbb\x8a")), around(L"\u4eca", 3));
        // A control byte or a cut sequence fails the strict test wherever it sits.
        EXPECT_FALSE(isUtf8(with("\x01")));
        EXPECT_FALSE(isUtf8(with("\xC3")));
        EXPECT_TRUE(isUtf8(with("\xC3\xA9")));
    }
}

TEST(DecodeLongText, LargeTextsConvertWhole) {
    std::string bytes;
    std::wstring expected;
    for (int i = 0; i < 50000; ++i) {
        bytes += "line \xE3\x81\x82\xF0\x9F\x98\x80\n";
        expected += L"line あ\U0001F600\n";
    }
    EXPECT_EQ(dec(bytes), expected);

    // Invalid bytes deep in a large text become one replacement each.
    const std::wstring withBad = kiro::io::fromUtf8(bytes + "\xFF\xFE" + bytes);
    EXPECT_EQ(withBad, expected + L"\uFFFD\uFFFD" + expected);
}

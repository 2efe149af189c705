// Long texts through detection and conversion: the eight-byte ASCII scan and the one-buffer
// conversion must give exactly what a byte-by-byte reading gives.
#include <gtest/gtest.h>

#include <string>

#include "kiro/io/charset/charset.h"
#include "kiro/io/charset/detect.h"

namespace {

std::wstring dec(const std::string& bytes) { return kiro::io::decode(bytes.data(), bytes.size()); }

}  // namespace

TEST(DecodeLongText, OddBytesAtEveryPlaceOfAnEightByteWord) {
    const std::string plain(64, 'a');
    for (size_t at = 0; at < 24; ++at) {
        // A line feed is fine anywhere; it is no plain byte but still UTF-8.
        std::string lf = plain;
        lf[at] = '\n';
        EXPECT_EQ(dec(lf), std::wstring(at, L'a') + L"\n" + std::wstring(63 - at, L'a'));

        // A two-byte character split across words is still one character.
        std::string two = plain;
        two.replace(at, 2, "\xC3\xA9");
        EXPECT_EQ(dec(two), std::wstring(at, L'a') + L"é" + std::wstring(62 - at, L'a'));

        // A control byte or a cut sequence fails the strict test wherever it sits.
        std::string control = plain;
        control[at] = '\x01';
        EXPECT_FALSE(kiro::io::detect::isUtf8(reinterpret_cast<const uint8_t*>(control.data()), 64));
        std::string cut = plain;
        cut[at] = '\xC3';
        EXPECT_FALSE(kiro::io::detect::isUtf8(reinterpret_cast<const uint8_t*>(cut.data()), 64));
        EXPECT_TRUE(kiro::io::detect::isUtf8(reinterpret_cast<const uint8_t*>(two.data()), 64));
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

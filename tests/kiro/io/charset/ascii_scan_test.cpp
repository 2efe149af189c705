// Detection must see a non-ASCII byte wherever it sits relative to the eight-byte ASCII scan.
#include "kiro/io/charset/charset.h"

#include <gtest/gtest.h>

#include <string>

TEST(DecodeAsciiRuns, NonAsciiBytesAtEveryOffsetAreSeen) {
    for (size_t at = 0; at < 20; ++at) {
        const std::string before(at, 'a');
        const std::string after(19 - at, 'z');
        const std::wstring wideBefore(at, L'a');
        const std::wstring wideAfter(19 - at, L'z');
        // Shift_JIS bytes are never valid UTF-8: the scan must stop on them.
        const std::string sjis = before + "\x8d\xa1" + after;
        EXPECT_EQ(kiro::io::decode(sjis.data(), sjis.size()), wideBefore + L"\u4eca" + wideAfter) << at;
        const std::string utf8 = before + "\xe4\xbb\x8a" + after;
        EXPECT_EQ(kiro::io::decode(utf8.data(), utf8.size()), wideBefore + L"\u4eca" + wideAfter) << at;
        const std::string tab = before + "\t" + after;
        EXPECT_EQ(kiro::io::decode(tab.data(), tab.size()), wideBefore + L"\t" + wideAfter) << at;
    }
}

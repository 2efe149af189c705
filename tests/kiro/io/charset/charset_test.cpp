// Character sets: the decoding and detection cases under tests/data/charset and
// tests/data/detect, then the converters on invalid, empty and long input.
#include "kiro/io/charset/charset.h"

#include <gtest/gtest.h>

#include "kiro/io/charset/detect.h"
#include "support/cases.h"

namespace {

using namespace kiro::io;
using tavi::test::Outcome;

const uint8_t* bytes(const std::string& s) {
    return reinterpret_cast<const uint8_t*>(s.data());
}
std::wstring decoded(const std::string& s) {
    return decode(s.data(), s.size());
}

TEST(Charset, DecodeAndDetectionCases) {
    tavi::test::runCases("charset", [](const std::string& in) { return Outcome{tavi::test::visible(decoded(in)), ""}; });
    EXPECT_EQ(decode(nullptr, 4), L"");
    tavi::test::runCases("detect", [](const std::string& in) {
        const char* guesses[] = {"unknown", "sjis", "eucjp", "utf8"};
        return Outcome{std::string("utf8 ") + (detect::isUtf8(bytes(in), in.size()) ? "yes" : "no") + ", sjis " +
                           (detect::isShiftJis(bytes(in), in.size()) ? "yes" : "no") + ", guess " +
                           guesses[int(detect::guess(bytes(in), in.size()))],
                       ""};
    });
}

TEST(Charset, StrayAndInvalidBytesLeaveTheRestOfTheText) {
    const std::wstring settings = L"\u8A2D\u5B9A\u30D5\u30A1\u30A4\u30EB\u3092\u8AAD\u307F\u8FBC\u307F\u307E\u3059";
    const std::string sjis = toAnsi(settings);
    // Shift_JIS with a stray byte is still guessed; what the byte becomes is the platform's choice.
    const std::wstring guessed = decoded(sjis + "\x80" + sjis);
    EXPECT_EQ(guessed.substr(0, settings.size()), settings);
    EXPECT_EQ(guessed.substr(guessed.size() - settings.size()), settings);
    // Invalid UTF-8 becomes replacement characters, never surrogates.
    const std::wstring w = fromUtf8(std::string("a\xC3(b\xE3\x81"));
    EXPECT_TRUE(w.front() == L'a' && w.find(L"\uFFFD(b") != std::wstring::npos && w.back() == L'\uFFFD');
    for (const char* odd : {"x\xFA\x9D\x9D\x9D\x9Dy", "x\xFC\x84\x80\x80\x80\x80y", "x\xED\xA0\x80y"}) {
        const std::wstring t = fromUtf8(std::string(odd));
        ASSERT_GE(t.size(), 3u);
        EXPECT_TRUE(t.front() == L'x' && t.back() == L'y' && t.find(L'\uFFFD') != std::wstring::npos);
        for (wchar_t c : t) EXPECT_TRUE(uint32_t(c) <= 0x10FFFF && (uint32_t(c) < 0xD800 || uint32_t(c) > 0xDFFF));
    }
    // A character the ANSI code page cannot hold still leaves the rest of the text.
    const std::string narrow = toAnsi(L"a\u0394\u00E9b");
    EXPECT_TRUE(narrow.front() == 'a' && narrow.back() == 'b');
    EXPECT_EQ(toUtf8(L"") + toAnsi(L""), "");
    EXPECT_EQ(fromAnsi(nullptr, 0), L"");
}

TEST(Charset, LongTextsConvertWholeAndOddBytesAreSeenAnywhereInAWord) {
    std::string utf8;
    std::wstring expected;
    for (int i = 0; i < 50000; ++i) {
        utf8 += "line \xE3\x81\x82\xF0\x9F\x98\x80\n";
        expected += L"line \u3042\U0001F600\n";
    }
    EXPECT_TRUE(decoded(utf8) == expected);
    EXPECT_TRUE(fromUtf8(utf8 + "\xFF\xFE" + utf8) == expected + L"\uFFFD\uFFFD" + expected);
    std::wstring japanese;
    for (int i = 0; i < 3000; ++i) japanese += L"\u8A2D\u5B9A\u30D5\u30A1\u30A4\u30EB\u3092\u8AAD\u307F\n";
    const std::string sjis = toAnsi(japanese);
    EXPECT_TRUE(decoded(sjis) == japanese);
    EXPECT_TRUE(fromAnsi(sjis.data(), sjis.size()) == japanese);
    // The scan takes eight plain bytes at a time; an odd byte must stop it at every place.
    const std::string plain(64, 'a');
    for (size_t at = 0; at < 24; ++at) {
        auto with = [&](const std::string& b) { return std::string(plain).replace(at, b.size(), b); };
        auto around = [&](const std::wstring& mid, size_t n) {
            return std::wstring(at, L'a') + mid + std::wstring(64 - at - n, L'a');
        };
        EXPECT_EQ(decoded(with("\n")), around(L"\n", 1)) << at;
        EXPECT_EQ(decoded(with("\xC3\xA9")), around(L"\u00E9", 2)) << at;
        EXPECT_EQ(decoded(with("\x8d\xa1")), around(L"\u4ECA", 2)) << at;
        EXPECT_EQ(decoded(with("\xe4\xbb\x8a")), around(L"\u4ECA", 3)) << at;
        EXPECT_FALSE(detect::isUtf8(bytes(with("\x01")), 64)) << at;
        EXPECT_FALSE(detect::isUtf8(bytes(with("\xC3")), 64)) << at;
    }
}

}  // namespace

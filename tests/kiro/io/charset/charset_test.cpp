// Character sets: the decoding, detection and UTF-8 cases under tests/data/charset,
// tests/data/detect and tests/data/utf8, then the converters on stray, empty and long input.
#include "kiro/io/charset/charset.h"

#include <gtest/gtest.h>

#include <algorithm>

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
    tavi::test::runCases("detect", [](const std::string& in) {
        const char* guesses[] = {"unknown", "sjis", "eucjp", "utf8"};
        return Outcome{std::string("utf8 ") + (detect::isUtf8(bytes(in), in.size()) ? "yes" : "no") + ", sjis " +
                           (detect::isShiftJis(bytes(in), in.size()) ? "yes" : "no") + ", guess " +
                           guesses[int(detect::guess(bytes(in), in.size()))],
                       ""};
    });
    // How many replacement characters an invalid sequence becomes is the platform's choice.
    tavi::test::runCases("utf8", [](const std::string& in) {
        std::wstring t = fromUtf8(in);
        t.erase(std::unique(t.begin(), t.end(), [](wchar_t a, wchar_t b) { return a == b && a == L'\uFFFD'; }), t.end());
        return Outcome{tavi::test::visible(t), ""};
    });
}

TEST(Charset, LongTextsConvertWholeAndStrayBytesLeaveTheRest) {
    // Past the converters' buffers.
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
    // Shift_JIS with a stray byte is still guessed; what the byte becomes is the platform's choice.
    const std::wstring guessed = decoded(sjis + "\x80" + sjis);
    EXPECT_TRUE(guessed.substr(0, japanese.size()) == japanese);
    EXPECT_TRUE(guessed.substr(guessed.size() - japanese.size()) == japanese);
    // A character the ANSI code page cannot hold still leaves the rest of the text.
    const std::string narrow = toAnsi(L"a\u0394\u00E9b");
    EXPECT_TRUE(narrow.front() == 'a' && narrow.back() == 'b');
    EXPECT_EQ(toUtf8(L"") + toAnsi(L""), "");
    EXPECT_EQ(decode(nullptr, 4) + fromAnsi(nullptr, 0), L"");
    // The scan takes eight plain bytes at a time; an odd byte must stop it at every place.
    for (size_t at = 0; at < 24; ++at)
        for (const char* odd : {"\x01", "\xC3"})
            EXPECT_FALSE(detect::isUtf8(bytes(std::string(64, 'a').replace(at, 1, odd)), 64)) << at;
}

}  // namespace

// Character-set detection and conversion on real UTF-8, Shift_JIS, EUC-JP and ISO-2022-JP bytes.
#include "kiro/io/charset/charset.h"

#include <gtest/gtest.h>

#include "kiro/io/charset/detect.h"

namespace {

using kiro::io::decode;

std::wstring dec(const std::string& bytes) { return decode(bytes.data(), bytes.size()); }

// 「ひらがなとカタカナの文章です。」 and 「設定ファイルを読み込みます」 in three encodings.
const std::wstring kSentence = L"\u3072\u3089\u304C\u306A\u3068\u30AB\u30BF\u30AB\u30CA\u306E\u6587\u7AE0\u3067\u3059\u3002";
const std::string kSentenceSjis =
    "\x82\xd0\x82\xe7\x82\xaa\x82\xc8\x82\xc6\x83\x4a\x83\x5e\x83\x4a\x83\x69\x82\xcc\x95\xb6\x8f\xcd\x82\xc5\x82\xb7\x81\x42";
const std::string kSentenceEuc =
    "\xa4\xd2\xa4\xe9\xa4\xac\xa4\xca\xa4\xc8\xa5\xab\xa5\xbf\xa5\xab\xa5\xca\xa4\xce\xca\xb8\xbe\xcf\xa4\xc7\xa4\xb9\xa1\xa3";
const std::string kSentenceJis =
    "\x1b\x24\x42\x24\x52\x24\x69\x24\x2c\x24\x4a\x24\x48\x25\x2b\x25\x3f\x25\x2b\x25\x4a\x24\x4e\x4a\x38\x3e\x4f\x24\x47\x24\x39\x21\x23\x1b\x28\x42";

const std::wstring kSettings = L"\u8A2D\u5B9A\u30D5\u30A1\u30A4\u30EB\u3092\u8AAD\u307F\u8FBC\u307F\u307E\u3059";
const std::string kSettingsSjis =
    "\x90\xdd\x92\xe8\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x93\xc7\x82\xdd\x8d\x9e\x82\xdd\x82\xdc\x82\xb7";
const std::string kSettingsEuc =
    "\xc0\xdf\xc4\xea\xa5\xd5\xa5\xa1\xa5\xa4\xa5\xeb\xa4\xf2\xc6\xc9\xa4\xdf\xb9\xfe\xa4\xdf\xa4\xde\xa4\xb9";

TEST(Decode, Utf8WithAndWithoutByteOrderMark) {
    EXPECT_EQ(dec("abc"), L"abc");
    EXPECT_EQ(dec("\xEF\xBB\xBF" "abc"), L"abc");
    EXPECT_EQ(dec("\xEF\xBB\xBF"), L"");
    EXPECT_EQ(dec(kiro::io::toUtf8(kSentence)), kSentence);
    EXPECT_EQ(dec("\xEF\xBB\xBF" + kiro::io::toUtf8(kSettings) + "\r\n"), kSettings + L"\r\n");
    EXPECT_EQ(dec(""), L"");
    EXPECT_EQ(decode(nullptr, 4), L"");
    // Characters outside the basic plane survive (a surrogate pair where wchar_t is 16 bits).
    const std::wstring smile = kiro::io::fromUtf8(std::string("\xF0\x9F\x98\x80"));
    EXPECT_EQ(kiro::io::toUtf8(smile), "\xF0\x9F\x98\x80");
    EXPECT_EQ(smile.size(), sizeof(wchar_t) == 2 ? 2u : 1u);
}

TEST(Decode, ShiftJisThroughTheAnsiCodePage) {
    EXPECT_EQ(dec(kSentenceSjis), kSentence);
    EXPECT_EQ(dec(kSettingsSjis), kSettings);
    // Half-width katakana and a kanji whose second byte is a backslash.
    EXPECT_EQ(dec("\xb1\xb2\xb3\x95\x5c\x8e\xa6"), L"\uFF71\uFF72\uFF73\u8868\u793A");
    // Not clean Shift_JIS (a stray 0x80), yet mostly Shift_JIS lead bytes: the guess decides.
    const std::wstring guessed = dec(kSettingsSjis + "\x80" + kSettingsSjis);
    EXPECT_EQ(guessed.substr(0, kSettings.size()), kSettings);
    EXPECT_EQ(guessed.substr(guessed.size() - kSettings.size()), kSettings);
}

TEST(Decode, EucJpIsDecodedAndIso2022JpIsUnknown) {
    EXPECT_EQ(kiro::io::detect::guess(reinterpret_cast<const uint8_t*>(kSettingsEuc.data()), kSettingsEuc.size()),
              kiro::io::detect::Guess::EucJp);
    EXPECT_EQ(dec(kSettingsEuc), kSettings);
    EXPECT_EQ(dec(kSentenceJis), L"charset.cpp:unknown charset");
    EXPECT_EQ(dec("\x1b\x80\xff"), L"charset.cpp:unknown charset");
}

TEST(Decode, WellFormedMultibyteUtf8IsUtf8WhateverControlBytesItHolds) {
    // A vertical tab, a form feed or an escape sequence once sent such text to the guess.
    for (const std::string& text : {std::string("表\v罫線"), std::string("頁\f改ページ"),
                                    std::string("\x1b[1m太字\x1b[0m"), "\x1b" + kiro::io::toUtf8(kSentence)}) {
        EXPECT_EQ(dec(text), kiro::io::fromUtf8(text)) << text;
    }
    // Not well-formed (an overlong form, an encoded surrogate): the other tests decide.
    EXPECT_EQ(dec("\x1b\xC0\xAF"), L"charset.cpp:unknown charset");
    EXPECT_EQ(dec("\x1b\xED\xA0\x80"), L"charset.cpp:unknown charset");
    EXPECT_EQ(dec(kSettingsSjis + "\f"), kSettings + L"\f");
}

TEST(Detect, ByteTests) {
    using kiro::io::detect::isShiftJis;
    using kiro::io::detect::isUtf8;
    auto u8 = [](const std::string& s) { return isUtf8(reinterpret_cast<const uint8_t*>(s.data()), s.size()); };
    auto sj = [](const std::string& s) { return isShiftJis(reinterpret_cast<const uint8_t*>(s.data()), s.size()); };
    EXPECT_TRUE(u8("tab\tcr\rlf\n\x7F"));
    EXPECT_FALSE(u8("bell\x07"));
    EXPECT_FALSE(u8("\xC3"));            // cut short
    EXPECT_FALSE(u8("\xC3\x28"));        // not a continuation byte
    EXPECT_FALSE(u8("\xC0\x80"));        // C0 and C1 never lead
    EXPECT_TRUE(u8("\xED\xA0\x80"));     // surrogates are not tested for
    EXPECT_TRUE(u8("\xFC\x80\x80\x80\x80\x80"));
    EXPECT_FALSE(u8("\xFE"));
    EXPECT_TRUE(sj(kSentenceSjis));
    EXPECT_FALSE(sj("\x82"));            // lead byte at the end
    EXPECT_FALSE(sj("\x82\x3F"));        // bad second byte
    EXPECT_FALSE(sj("\x7F"));
    EXPECT_FALSE(sj("\xF0\x40"));
    EXPECT_FALSE(sj(kSentenceJis));
    // The guess never reads past the end, whatever the last byte is.
    EXPECT_EQ(kiro::io::detect::guess(reinterpret_cast<const uint8_t*>("\x81"), 1), kiro::io::detect::Guess::Utf8);
}

TEST(Convert, RoundTripsEmptyInputsAndInvalidBytes) {
    const std::wstring w = kiro::io::fromUtf8(std::string("a\xC3(b\xE3\x81"));
    ASSERT_GE(w.size(), 4u);
    EXPECT_EQ(w.front(), L'a');
    EXPECT_NE(w.find(L'\uFFFD'), std::wstring::npos);
    EXPECT_NE(w.find(L"(b"), std::wstring::npos);
    EXPECT_EQ(w.back(), L'\uFFFD');

    // The obsolete five- and six-byte forms and encoded surrogates name no character.
    for (const char* bytes : {"x\xFA\x9D\x9D\x9D\x9Dy", "x\xFC\x84\x80\x80\x80\x80y",
                              "x\xED\xA0\x80y"}) {
        SCOPED_TRACE(bytes);
        const std::wstring odd = kiro::io::fromUtf8(std::string(bytes));
        ASSERT_GE(odd.size(), 3u);
        EXPECT_EQ(odd.front(), L'x');
        EXPECT_EQ(odd.back(), L'y');
        for (wchar_t c : odd) {
            EXPECT_LE(static_cast<uint32_t>(c), 0x10FFFFu);
            EXPECT_FALSE(static_cast<uint32_t>(c) >= 0xD800 && static_cast<uint32_t>(c) <= 0xDFFF);
        }
        EXPECT_NE(odd.find(L'\uFFFD'), std::wstring::npos);
    }

    EXPECT_EQ(kiro::io::toAnsi(kSettings), kSettingsSjis);
    EXPECT_EQ(kiro::io::fromAnsi(kSettingsSjis.data(), kSettingsSjis.size()), kSettings);
    EXPECT_EQ(kiro::io::fromUtf8(kiro::io::toUtf8(kSentence)), kSentence);
    EXPECT_EQ(kiro::io::toUtf8(L""), "");
    EXPECT_EQ(kiro::io::toAnsi(L""), "");
    EXPECT_EQ(kiro::io::fromAnsi(nullptr, 0), L"");
    EXPECT_EQ(kiro::io::fromUtf8("", 0), L"");
    // A character the ANSI code page cannot hold still leaves the rest of the text.
    const std::string narrow = kiro::io::toAnsi(L"a\u0394\u00E9b");
    EXPECT_EQ(narrow.front(), 'a');
    EXPECT_EQ(narrow.back(), 'b');
    // Long input crosses the converters' internal buffers.
    std::wstring longText;
    for (int i = 0; i < 3000; ++i) longText += kSettings;
    EXPECT_EQ(kiro::io::fromUtf8(kiro::io::toUtf8(longText)), longText);
    const std::string longSjis = kiro::io::toAnsi(longText);
    EXPECT_EQ(kiro::io::decode(longSjis.data(), longSjis.size()), longText);
}

}  // namespace

// Text files: reading with detection, binary data refused, splitting, and saving atomically
// or appended, a failed save leaving what was there.
#include "kiro/io/text.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "kiro/io/file.h"
#include "support/tempfolder.h"

namespace {

using kiro::io::Text;
using tavi::test::readBytes;
using tavi::test::writeBytes;
using Lines = std::vector<std::wstring>;

Text of(const std::wstring& s) {
    Text t;
    t.append(s);
    return t;
}

TEST(Text, ReadsWithDetectionRefusesBinaryAndSplitsDroppingCrBeforeLfAndTrailingEmptyLines) {
    tavi::test::TempFolder tmp;
    writeBytes(tmp / L"sjis.txt", "\x82\xa0\x82\xa2\n");
    writeBytes(tmp / L"utf16.txt", std::string("\xFF\xFE" "a\0b\0", 6));
    EXPECT_EQ(Text(tmp / L"sjis.txt").str() + Text(tmp / L"utf16.txt").str() + Text(tmp / L"missing.txt").str(),
              L"\u3042\u3044\n");
    EXPECT_EQ(Text("abc", 3).str() + Text(nullptr, 3).str(), L"abc");
    EXPECT_EQ(of(L"a\r\nb\r\n\r\n").split(L'\n'), (Lines{L"a", L"b"}));
    EXPECT_EQ(of(L"a\nb\r").split(L'\n'), (Lines{L"a", L"b\r"}));
    EXPECT_EQ(of(L"\n\nx\n\ny").split(L'\n'), (Lines{L"", L"", L"x", L"", L"y"}));
    EXPECT_TRUE(of(L"").split(L'\n').empty() && of(L"\n\r\n\n").split(L'\n').empty());
    EXPECT_EQ(of(L"k=v;w").split(L';'), (Lines{L"k=v", L"w"}));
}

TEST(Text, SavesUtf8WithoutMarkReplacingAtomicallyOrAppendingAndAFailedSaveLeavesWhatWasThere) {
    tavi::test::TempFolder tmp;
    const std::wstring path = tmp / L"deep/er/note.txt";
    ASSERT_TRUE(of(L"x\n").save(path));
    ASSERT_TRUE(of(L"\u3042").save(path));
    EXPECT_EQ(readBytes(path), "\xE3\x81\x82");  // the old, longer content is gone
    ASSERT_TRUE(of(L"x\n").save(path, true));
    EXPECT_EQ(readBytes(path), "\xE3\x81\x82x\n");
    // Nothing but the target is left in the folder: the temporary file was renamed.
    const std::filesystem::path folder = std::filesystem::path(tmp.path()) / "deep" / "er";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
    EXPECT_TRUE(Text().save(tmp / L"empty.txt") && kiro::io::exists(tmp / L"empty.txt"));

    writeBytes(tmp / L"blocker", "I am a file");
    EXPECT_FALSE(of(L"new").save(tmp / L"blocker/inner.txt"));  // a file where a folder must be
    EXPECT_FALSE(of(L"new").save(tmp / L"blocker/inner.txt", true));
    EXPECT_FALSE(of(L"new").save(tmp / L"deep/er"));  // a folder where the file would go
    EXPECT_FALSE(of(L"new").save(L""));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(readBytes(tmp / L"blocker"), "I am a file");
}

}  // namespace

// Text files: reading with detection, binary data, splitting and saving (atomic or appended).
#include "kiro/io/text.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "kiro/io/file.h"
#include "support/tempfolder.h"

namespace {

using kiro::io::Text;
using tavi::test::TempFolder;
using tavi::test::readBytes;
using tavi::test::writeBytes;

std::vector<std::wstring> splitOf(const std::wstring& s) {
    Text t;
    t.append(s);
    return t.split(L'\n');
}

TEST(Text, SplitDropsCrBeforeLfAndTrailingEmptyLines) {
    EXPECT_EQ(splitOf(L"a\r\nb\r\n\r\n"), (std::vector<std::wstring>{L"a", L"b"}));
    EXPECT_EQ(splitOf(L"a\nb\r"), (std::vector<std::wstring>{L"a", L"b\r"}));
    EXPECT_EQ(splitOf(L"\n\nx\n\ny"), (std::vector<std::wstring>{L"", L"", L"x", L"", L"y"}));
    EXPECT_TRUE(splitOf(L"").empty());
    EXPECT_TRUE(splitOf(L"\n\r\n\n").empty());
    Text t;
    t.append(L"k=v;w");
    EXPECT_EQ(t.split(L';'), (std::vector<std::wstring>{L"k=v", L"w"}));
}

TEST(Text, ReadsFilesWithDetectionAndRejectsBinary) {
    TempFolder tmp;
    writeBytes(tmp / L"sjis.txt", "\x82\xa0\x82\xa2\n");
    EXPECT_EQ(Text(tmp / L"sjis.txt").str(), L"\u3042\u3044\n");
    writeBytes(tmp / L"utf16.txt", std::string("\xFF\xFE" "a\0b\0", 6));
    EXPECT_EQ(Text(tmp / L"utf16.txt").str(), L"");
    EXPECT_EQ(Text(tmp / L"missing.txt").str(), L"");
    EXPECT_EQ(Text("abc", 3).str(), L"abc");
    EXPECT_EQ(Text(nullptr, 3).str(), L"");
}

TEST(Text, SaveWritesUtf8WithoutMarkAndReplacesAtomically) {
    TempFolder tmp;
    const std::wstring path = tmp / L"deep/er/note.txt";
    Text x, jp;
    x.append(L"x\n");
    ASSERT_TRUE(x.save(path));
    EXPECT_EQ(readBytes(path), "x\n");
    jp.append(L"\u3042");
    ASSERT_TRUE(jp.save(path));
    EXPECT_EQ(readBytes(path), "\xE3\x81\x82");  // the old, longer content is gone

    ASSERT_TRUE(jp.save(path, true));
    ASSERT_TRUE(x.save(path, true));
    EXPECT_EQ(readBytes(path), "\xE3\x81\x82\xE3\x81\x82x\n");

    // Nothing but the target is left in the folder: the temporary file was renamed.
    const std::filesystem::directory_iterator folder(std::filesystem::path(tmp.path()) / "deep" / "er");
    EXPECT_EQ(std::distance(begin(folder), end(folder)), 1);

    EXPECT_TRUE(Text().save(tmp / L"empty.txt"));
    EXPECT_TRUE(kiro::io::exists(tmp / L"empty.txt"));
    EXPECT_EQ(readBytes(tmp / L"empty.txt"), "");
}

TEST(Text, FailedSaveLeavesTheOldFile) {
    TempFolder tmp;
    writeBytes(tmp / L"blocker", "I am a file");
    Text t;
    t.append(L"new");
    // A file stands where a folder would have to be.
    EXPECT_FALSE(t.save(tmp / L"blocker/inner.txt"));
    EXPECT_FALSE(t.save(tmp / L"blocker/inner.txt", true));
    // A folder stands where the file would go: the rename fails and the folder stays.
    std::filesystem::create_directories(std::filesystem::path(tmp.path()) / "dir");
    EXPECT_FALSE(t.save(tmp / L"dir"));
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(tmp.path()) / "dir"));
    EXPECT_EQ(readBytes(tmp / L"blocker"), "I am a file");
    EXPECT_FALSE(t.save(L""));
}

}  // namespace

// Text files: the reading and splitting cases under tests/data/text, and saving atomically
// or appended, a failed save leaving what was there.
#include "kiro/io/text.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "kiro/io/file.h"
#include "support/cases.h"
#include "support/tempfolder.h"

namespace {

using kiro::io::Text;
using tavi::test::readBytes;
using tavi::test::writeBytes;
using Lines = std::vector<std::wstring>;

Text of(const std::string& bytes) {
    return Text(bytes.data(), bytes.size());
}

TEST(Text, CasesReadAndSplitAsTheirFilesSayAndSavesReplaceOrAppendAndAFailedSaveLeavesWhatWasThere) {
    tavi::test::TempFolder tmp;
    tavi::test::runCases("text", [&](const std::string& in) {
        writeBytes(tmp / L"case.txt", in);
        std::string lines;
        for (const std::wstring& line : Text(tmp / L"case.txt").split(L'\n'))
            lines += tavi::test::visible(line) + "|\n";
        return tavi::test::Outcome{lines, ""};
    });
    EXPECT_EQ(Text("abc", 3).str() + Text(nullptr, 3).str() + Text(tmp / L"missing.txt").str(), L"abc");
    EXPECT_EQ(of("k=v;w").split(L';'), (Lines{L"k=v", L"w"}));

    // Saves are UTF-8 without a mark, replacing atomically or appending.
    const std::wstring path = tmp / L"deep/er/note.txt";
    ASSERT_TRUE(of("x\n").save(path));
    ASSERT_TRUE(of("\xE3\x81\x82").save(path));
    EXPECT_EQ(readBytes(path), "\xE3\x81\x82");  // the old, longer content is gone
    ASSERT_TRUE(of("x\n").save(path, true));
    EXPECT_EQ(readBytes(path), "\xE3\x81\x82x\n");
    // Nothing but the target is left in the folder: the temporary file was renamed.
    const std::filesystem::path folder = std::filesystem::path(tmp.path()) / "deep" / "er";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
    EXPECT_TRUE(Text().save(tmp / L"empty.txt") && kiro::io::exists(tmp / L"empty.txt"));

    writeBytes(tmp / L"blocker", "I am a file");
    EXPECT_FALSE(of("new").save(tmp / L"blocker/inner.txt"));  // a file where a folder must be
    EXPECT_FALSE(of("new").save(tmp / L"blocker/inner.txt", true));
    EXPECT_FALSE(of("new").save(tmp / L"deep/er"));  // a folder where the file would go
    EXPECT_FALSE(of("new").save(L""));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(readBytes(tmp / L"blocker"), "I am a file");
}

}  // namespace

// Files, whole-file loads, .uwu archives standing in for folders, and the path helpers.
#include "kiro/io/file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "kiro/io/charset/charset.h"
#include "support/tempfolder.h"

namespace {

using kiro::io::BinaryObject;
using kiro::io::File;
using tavi::test::TempFolder;
using tavi::test::readBytes;
using tavi::test::writeBytes;

void put32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(char((v >> (8 * i)) & 0xFF));
}

// Builds an archive the way the packing tool does: magic, count, then name hash, length and
// scrambled bytes for every member.
std::string makeArchive(const std::vector<std::pair<std::string, std::string>>& members) {
    std::string out;
    put32(out, 0x75777507u);
    put32(out, uint32_t(members.size()));
    for (const auto& [name, data] : members) {
        put32(out, kiro::io::crc32(name.data(), name.size()));
        put32(out, uint32_t(data.size()));
        std::string scrambled = data;
        kiro::io::scramble(reinterpret_cast<uint8_t*>(&scrambled[0]), scrambled.size());
        out += scrambled;
    }
    return out;
}

std::string loaded(const std::wstring& path) {
    BinaryObject b(path);
    return std::string(reinterpret_cast<const char*>(b.data()), size_t(b.size()));
}

TEST(Crc32, MatchesTheIeeeCheckValue) {
    EXPECT_EQ(kiro::io::crc32("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(kiro::io::crc32("", 0), 0u);
    EXPECT_EQ(kiro::io::crc32("\\setup.json", 11), kiro::io::crc32("\\setup.json", 11));
    EXPECT_NE(kiro::io::crc32("\\a", 2), kiro::io::crc32("/a", 2));
}

TEST(Scramble, IsItsOwnInverseAndChangesEveryWordAndTailByte) {
    for (size_t length : {1u, 3u, 4u, 7u, 64u, 1001u}) {
        std::string original(length, '\0');
        for (size_t i = 0; i < length; ++i) original[i] = char(i * 7 + 1);
        std::string data = original;
        kiro::io::scramble(reinterpret_cast<uint8_t*>(&data[0]), data.size());
        EXPECT_NE(data, original) << length;
        kiro::io::scramble(reinterpret_cast<uint8_t*>(&data[0]), data.size());
        EXPECT_EQ(data, original) << length;
    }
}

TEST(File, WriteCreatesFoldersAndReadReportsCounts) {
    TempFolder tmp;
    const std::wstring path = tmp / L"a\\b/c\\data.bin";
    {
        File f(path, File::Write);
        ASSERT_FALSE(f.failed());
        EXPECT_TRUE(f.write("hello world", 11));
    }
    EXPECT_TRUE(kiro::io::exists(tmp / L"a/b/c"));
    File f(path, File::Read);
    ASSERT_FALSE(f.failed());
    EXPECT_EQ(f.size(), 11u);
    char buf[16] = {};
    EXPECT_TRUE(f.read(buf, 5));
    EXPECT_EQ(std::string(buf, 5), "hello");
    f.skip(1);
    uint64_t count = 0;
    EXPECT_TRUE(f.read(buf, 16, &count));
    EXPECT_EQ(count, 5u);
    EXPECT_EQ(std::string(buf, 5), "world");
    EXPECT_FALSE(f.read(buf, 1, &count));  // the stream is at its end
    EXPECT_EQ(count, 0u);

    File again(path, File::Read);
    again.seek(6);
    EXPECT_FALSE(again.read(buf, 6));  // only five bytes remain
}

TEST(File, AppendKeepsAndWriteTruncates) {
    TempFolder tmp;
    const std::wstring path = tmp / L"log.txt";
    File(path, File::Write).write("abc", 3);
    File(path, File::Append).write("def", 3);
    EXPECT_EQ(readBytes(path), "abcdef");
    File(path, File::Write).write("x", 1);
    EXPECT_EQ(readBytes(path), "x");
    File missing(tmp / L"nothing-here", File::Read);
    EXPECT_TRUE(missing.failed());
    char c;
    EXPECT_FALSE(missing.read(&c, 1));
    EXPECT_FALSE(missing.write("x", 1));
}

TEST(BinaryObject, LoadsWholeFileWithTrailingZero) {
    TempFolder tmp;
    writeBytes(tmp / L"f.txt", std::string("ab\0cd", 5));
    BinaryObject b(tmp / L"f.txt");
    ASSERT_EQ(b.size(), 5u);
    EXPECT_EQ(std::memcmp(b.data(), "ab\0cd", 5), 0);
    EXPECT_EQ(b.data()[5], 0);
    EXPECT_EQ(b.path(), tmp / L"f.txt");

    writeBytes(tmp / L"empty.txt", "");
    EXPECT_TRUE(BinaryObject(tmp / L"empty.txt").empty());
    EXPECT_TRUE(BinaryObject(tmp / L"missing.txt").empty());
    EXPECT_TRUE(BinaryObject(tmp.path()).empty());  // a folder is not a file
}

TEST(BinaryObject, AppendGrowsAndStaysTerminated) {
    BinaryObject b;
    EXPECT_FALSE(b.append(nullptr, 3));
    EXPECT_FALSE(b.append("x", 0));
    std::string expected;
    for (int i = 0; i < 500; ++i) {
        const std::string piece = "piece" + std::to_string(i) + ";";
        ASSERT_TRUE(b.append(piece.data(), piece.size()));
        expected += piece;
    }
    ASSERT_EQ(b.size(), expected.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data())), expected);
}

TEST(Archive, MissingFileIsLookedForUpTheFoldersAndTheNearestArchiveDecides) {
    TempFolder tmp;
    // units/a/body/setup.json does not exist on disk.
    writeBytes(tmp / L"units.uwu", makeArchive({{"\\a\\body\\setup.json", "from units.uwu"},
                                                 {"\\a\\other.txt", "other"}}));
    EXPECT_EQ(loaded(tmp / L"units\\a\\body\\setup.json"), "from units.uwu");
    EXPECT_EQ(loaded(tmp / L"units/a/body/setup.json"), "from units.uwu");
    EXPECT_EQ(loaded(tmp / L"units/a/other.txt"), "other");

    writeBytes(tmp / L"units/a.uwu", makeArchive({{"\\body\\setup.json", "from a.uwu"}}));
    EXPECT_EQ(loaded(tmp / L"units/a/body/setup.json"), "from a.uwu");

    // The nearest archive decides even when it lacks the member.
    writeBytes(tmp / L"units/a/body.uwu", makeArchive({{"\\other.json", "x"}}));
    EXPECT_TRUE(BinaryObject(tmp / L"units/a/body/setup.json").empty());

    // A file on disk wins over every archive and is not unscrambled.
    writeBytes(tmp / L"units/a/body/setup.json", "on disk");
    EXPECT_EQ(loaded(tmp / L"units/a/body/setup.json"), "on disk");
}

TEST(Archive, MemberNamesAreUtf8AndCaseSensitive) {
    TempFolder tmp;
    writeBytes(tmp / L"data.uwu", makeArchive({{"\\\xE6\x97\xA5\xE8\xA8\x98.txt", "diary"}}));
    EXPECT_EQ(loaded(tmp / L"data/\u65E5\u8A18.txt"), "diary");
    EXPECT_TRUE(BinaryObject(tmp / L"DATA/\u65E5\u8A18.TXT").empty());
    const BinaryObject b(tmp / L"data/\u65E5\u8A18.txt");
    EXPECT_EQ(b.data()[b.size()], 0);
}

TEST(Archive, DamagedArchivesGiveEmptyResults) {
    TempFolder tmp;
    // A wrong magic.
    std::string bad = makeArchive({{"\\f", "data"}});
    bad[0] = 'X';
    writeBytes(tmp / L"a.uwu", bad);
    EXPECT_TRUE(BinaryObject(tmp / L"a/f").empty());

    // A member claiming more bytes than the archive holds, before and at the wanted one.
    std::string huge;
    put32(huge, 0x75777507u);
    put32(huge, 2);
    put32(huge, 0x12345678u);
    put32(huge, 0xFFFFFFF0u);
    huge += "short";
    writeBytes(tmp / L"b.uwu", huge);
    EXPECT_TRUE(BinaryObject(tmp / L"b/f").empty());
    std::string wanted;
    put32(wanted, 0x75777507u);
    put32(wanted, 1);
    put32(wanted, kiro::io::crc32("\\f", 2));
    put32(wanted, 0xFFFFFFF0u);
    wanted += "short";
    writeBytes(tmp / L"c.uwu", wanted);
    EXPECT_TRUE(BinaryObject(tmp / L"c/f").empty());

    // A count larger than the records present, and a truncated header.
    std::string counted = makeArchive({{"\\x", "1"}});
    counted[4] = 9;
    writeBytes(tmp / L"d.uwu", counted);
    EXPECT_TRUE(BinaryObject(tmp / L"d/f").empty());
    EXPECT_EQ(loaded(tmp / L"d/x"), "1");
    writeBytes(tmp / L"e.uwu", "\x07uw");
    EXPECT_TRUE(BinaryObject(tmp / L"e/f").empty());
}

TEST(Paths, ListFilesRecursesSkipsDotNamesAndAppliesThePatternBelow) {
    TempFolder tmp;
    writeBytes(tmp / L"top/one.dat", "1");
    writeBytes(tmp / L"top/two.txt", "2");
    writeBytes(tmp / L"top/.hidden.dat", "h");
    writeBytes(tmp / L"top/sub/three.dat", "3");
    writeBytes(tmp / L"top/sub.dat/four.dat", "4");
    writeBytes(tmp / L"top/.git/five.dat", "5");

    auto names = [](std::vector<std::wstring> files) {
        std::vector<std::string> out;
        for (auto& f : files) {
            for (auto& c : f) {
                if (c == L'\\') c = L'/';
            }
            const size_t top = f.find(L"top/");
            out.push_back(kiro::io::toUtf8(f.substr(top)));
        }
        std::sort(out.begin(), out.end());
        return out;
    };
    EXPECT_EQ(names(kiro::io::listFiles(tmp / L"top")),
              (std::vector<std::string>{"top/one.dat", "top/sub.dat/four.dat", "top/sub/three.dat",
                                        "top/two.txt"}));
    // With a pattern, only folders that match it are entered.
    EXPECT_EQ(names(kiro::io::listFiles(tmp / L"top/", L"*.dat")),
              (std::vector<std::string>{"top/one.dat", "top/sub.dat/four.dat"}));
    EXPECT_TRUE(kiro::io::listFiles(tmp / L"absent").empty());

    // Every listed path loads.
    for (const auto& f : kiro::io::listFiles(tmp / L"top")) EXPECT_FALSE(BinaryObject(f).empty());
}

TEST(Paths, ExistsSeesFilesAndFoldersWithEitherSeparator) {
    TempFolder tmp;
    writeBytes(tmp / L"x/y.txt", "y");
    EXPECT_TRUE(kiro::io::exists(tmp / L"x"));
    EXPECT_TRUE(kiro::io::exists(tmp / L"x\\y.txt"));
    EXPECT_TRUE(kiro::io::exists(tmp / L"x/y.txt"));
    EXPECT_FALSE(kiro::io::exists(tmp / L"x/z.txt"));
    EXPECT_FALSE(kiro::io::exists(L""));
}

TEST(Paths, NonAsciiNamesRoundTrip) {
    TempFolder tmp;
    const std::wstring path = tmp / L"\u30E1\u30E2/\u6587\u66F8.dat";
    {
        File f(path, File::Write);
        ASSERT_FALSE(f.failed());
        f.write("memo", 4);
    }
    EXPECT_TRUE(kiro::io::exists(path));
    EXPECT_EQ(loaded(path), "memo");
    const auto files = kiro::io::listFiles(tmp / L"\u30E1\u30E2");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_NE(files[0].find(L"\u6587\u66F8.dat"), std::wstring::npos);
}

}  // namespace

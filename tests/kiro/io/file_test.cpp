// Files, whole-file loads, .uwu archives standing in for folders, the path helpers, and
// listing folders whose links make loops and second routes.
#include "kiro/io/file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "kiro/io/charset/charset.h"
#include "support/cases.h"
#include "support/tempfolder.h"

namespace {

namespace fs = std::filesystem;
using kiro::io::BinaryObject;
using kiro::io::File;
using tavi::test::readBytes;
using tavi::test::TempFolder;

std::string loaded(const std::wstring& path) {
    const BinaryObject b(path);
    EXPECT_TRUE(b.data() && b.data()[b.size()] == 0);  // always followed by a zero byte
    return std::string(reinterpret_cast<const char*>(b.data()), size_t(b.size()));
}

// What the program uses: the archive reader reads and skips, a text save appends, the fuzz
// targets write files over again.
TEST(File, WritesCreateFoldersReadsSkipAppendKeepsWriteTruncatesAndWholeFilesLoadAndGrow) {
    TempFolder tmp;
    const std::wstring path = tmp / L"a\\b/c\\data.bin";
    ASSERT_TRUE(File(path, File::Write).write("hello world", 11));
    EXPECT_TRUE(kiro::io::exists(tmp / L"a/b/c"));
    File f(path, File::Read);
    EXPECT_EQ(f.size(), 11u);
    char buf[16] = {};
    EXPECT_TRUE(f.read(buf, 5));
    f.skip(1);
    EXPECT_FALSE(f.read(buf + 5, 6));  // only five bytes remain
    EXPECT_EQ(std::string(buf, 10), "helloworld");
    File(path, File::Append).write("!", 1);
    EXPECT_EQ(readBytes(tmp / L"a/b/c/data.bin"), "hello world!");
    File(path, File::Write).write("x", 1);
    EXPECT_EQ(readBytes(tmp / L"a/b/c/data.bin"), "x");
    File missing(tmp / L"nothing-here", File::Read);
    EXPECT_TRUE(missing.failed());
    EXPECT_FALSE(missing.read(buf, 1) || missing.write("x", 1));

    // Whole files grow (loading them is the archive test's).
    BinaryObject b;
    EXPECT_FALSE(b.append(nullptr, 3) || b.append("x", 0));
    std::string expected;
    for (int i = 0; i < 500; ++i) {
        const std::string piece = "piece" + std::to_string(i) + ";";
        ASSERT_TRUE(b.append(piece.data(), piece.size()));
        expected += piece;
    }
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data())), expected);
}

// The archives under tests/data/archive, made by the packing tool: lookups.in lists the paths
// looked up, lookups.out what each gives (damaged archives give nothing).
TEST(Archive, AMissingFileIsLookedForUpTheFoldersAndTheNearestArchiveDecides) {
    const std::wstring root = kiro::io::fromUtf8(tavi::test::dataPath("archive/"));
    tavi::test::runCases("archive", [&](const std::string& in) {
        std::istringstream paths(in);
        std::string out;
        for (std::string path; std::getline(paths, path);)
            out += path + "|" + loaded(root + kiro::io::fromUtf8(path)) + "\n";
        return tavi::test::Outcome{out, ""};
    });
    EXPECT_EQ(loaded(root + L"data/figure.png"), tavi::test::readData("ui/figure.png"));
}

TEST(Paths, ListingRecursesSkipsDotNamesEntersOnlyMatchingFoldersAndListsEachFileOnce) {
    TempFolder tmp;
    for (const wchar_t* f : {L"one.dat", L"two.txt", L".hidden.dat", L"sub/three.dat", L"sub.dat/four.dat",
                             L".git/five.dat", L"\u30E1\u30E2/\u6587\u66F8.dat"})
        ASSERT_TRUE(File(tmp / L"top/" + f, File::Write).write("x", 1));
    auto names = [](std::vector<std::wstring> files) {
        std::string out;
        std::sort(files.begin(), files.end());
        for (auto& f : files) {
            std::replace(f.begin(), f.end(), L'\\', L'/');
            EXPECT_EQ(loaded(f), "x");
            out += kiro::io::toUtf8(f.substr(f.find(L"top/") + 4)) + " ";
        }
        return out;
    };
    EXPECT_EQ(names(kiro::io::listFiles(tmp / L"top")),
              "one.dat sub.dat/four.dat sub/three.dat two.txt \u30E1\u30E2/\u6587\u66F8.dat ");
    EXPECT_EQ(names(kiro::io::listFiles(tmp / L"top/", L"*.dat")), "one.dat sub.dat/four.dat ");
    EXPECT_TRUE(kiro::io::listFiles(tmp / L"absent").empty());
    EXPECT_TRUE(kiro::io::exists(tmp / L"top\\sub/three.dat") && kiro::io::exists(tmp / L"top/\u30E1\u30E2"));
    EXPECT_FALSE(kiro::io::exists(tmp / L"top/z.txt") || kiro::io::exists(L""));

    // Links back up the tree and second routes to a folder.
    const fs::path top = fs::path(tmp.path()) / "top";
    std::error_code ec;
    fs::create_directory_symlink(top, top / "sub" / "up", ec);  // a loop
    if (ec) GTEST_SKIP() << "no folder links here: " << ec.message();
    fs::create_directory_symlink(top / "sub", top / "again", ec);         // a second route to sub
    fs::create_directory_symlink(top / "sub", top / "sub" / "self", ec);  // a second loop
    EXPECT_EQ(kiro::io::listFiles(tmp / L"top").size(), 5u);              // sub's file by either route, once
}

}  // namespace

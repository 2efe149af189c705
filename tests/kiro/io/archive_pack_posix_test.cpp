// Archives written by the packing tool (tools/pack-uwu.py) read back through the file loader:
// two separate implementations of the archive format must agree byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "kiro/io/charset/charset.h"
#include "kiro/io/file.h"
#include "support/tempfolder.h"

namespace {

namespace fs = std::filesystem;
using kiro::io::BinaryObject;
using tavi::test::TempFolder;
using tavi::test::readBytes;

// The project's source folder, found from the test data folder (tests/data) named by the
// test environment; empty when it is not set.
fs::path sourceRoot() {
    const char* data = std::getenv("TAVI_TEST_DATA");
    if (data == nullptr || *data == 0) return {};
    return fs::path(data).lexically_normal().parent_path().parent_path();
}

std::string quoted(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Runs the packing tool on a folder; returns its exit status (or -1 if it cannot run).
int pack(const fs::path& tool, const std::wstring& folder, const std::wstring& archive) {
    const std::string command = "python3 " + quoted(tool.string()) + " " +
                                quoted(kiro::io::toUtf8(folder)) + " -o " +
                                quoted(kiro::io::toUtf8(archive)) + " >/dev/null";
    return std::system(command.c_str());
}

// Writes through the file layer, which encodes non-ASCII names as UTF-8 whatever the locale.
void write(const std::wstring& path, const std::string& bytes) {
    kiro::io::File file(path, kiro::io::File::Write);
    ASSERT_FALSE(file.failed());
    ASSERT_TRUE(file.write(bytes.data(), bytes.size()));
}

std::string loaded(const std::wstring& path) {
    BinaryObject object(path);
    return std::string(reinterpret_cast<const char*>(object.data()), object.size());
}

class ArchivePack : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = sourceRoot();
        tool_ = root_ / "tools" / "pack-uwu.py";
        if (root_.empty() || !fs::exists(tool_)) GTEST_SKIP() << "packing tool not found";
        if (std::system("python3 -c '' >/dev/null 2>&1") != 0) GTEST_SKIP() << "no python3";
    }
    fs::path root_, tool_;
};

TEST_F(ArchivePack, ShippedCharacterBodyLoadsFromItsArchive) {
    const fs::path body = root_ / "app" / "units" / "mebu" / "body";
    ASSERT_TRUE(fs::is_directory(body));
    TempFolder tmp;
    ASSERT_EQ(pack(tool_, body.wstring(), tmp / L"units/mebu/body.uwu"), 0);

    int checked = 0;
    std::vector<size_t> tailLengths(4, 0);
    for (const auto& entry : fs::directory_iterator(body)) {
        const std::string want = readBytes(entry.path().wstring());
        const std::wstring name = entry.path().filename().wstring();
        ASSERT_FALSE(want.empty());
        EXPECT_EQ(loaded(tmp / (L"units\\mebu\\body\\" + name)), want) << entry.path();
        ++tailLengths[want.size() % 4];
        ++checked;
    }
    EXPECT_GE(checked, 10);
    // The skin file and pictures cover more than one length modulo 4 (the partial last word).
    EXPECT_GE(std::count_if(tailLengths.begin(), tailLengths.end(), [](size_t n) { return n; }),
              2);
}

TEST_F(ArchivePack, NestedFoldersOddLengthsAndJapaneseNames) {
    TempFolder tmp;
    const std::wstring src = tmp / L"src/";
    std::vector<std::pair<std::wstring, std::string>> files;
    for (int n = 1; n <= 9; ++n) {
        files.push_back({L"sub/len" + std::to_wstring(n) + L".bin",
                         std::string(size_t(n), char(0x5A + n))});
    }
    files.push_back({L"\u65e5\u8a18/\u6625.txt", "\xE6\x98\xA5\xE3\x81\xAE\xE9\xA2\xA8"});
    files.push_back({L"deep/er/still/setup.json", "{\"motions\": {}}\n"});
    std::string big;
    for (int i = 0; i < 100000; ++i) big.push_back(char((i * 7919) >> 3));
    files.push_back({L"big.bin", big});
    for (const auto& [name, data] : files) write(src + name, data);
    write(src + L".hidden", "left out");

    ASSERT_EQ(pack(tool_, src, tmp / L"data.uwu"), 0);
    for (const auto& [name, data] : files) {
        EXPECT_EQ(loaded(tmp / (L"data/" + name)), data) << kiro::io::toUtf8(name);
        std::wstring back = name;
        for (auto& c : back) c = c == L'/' ? L'\\' : c;
        EXPECT_EQ(loaded(tmp / (L"data\\" + back)), data) << kiro::io::toUtf8(name);
    }
    EXPECT_EQ(loaded(tmp / L"data/.hidden"), "");
    EXPECT_EQ(loaded(tmp / L"data/sub/LEN1.bin"), "");  // member names keep their case
    EXPECT_EQ(loaded(tmp / L"data/missing.bin"), "");
}

}  // namespace

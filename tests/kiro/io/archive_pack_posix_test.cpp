// Archives written by the packing tool (tools/pack-uwu.py) read back through the file loader:
// two implementations of the archive format must agree byte for byte.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "kiro/io/charset/charset.h"
#include "kiro/io/file.h"
#include "support/cases.h"
#include "support/tempfolder.h"

namespace {

namespace fs = std::filesystem;

TEST(ArchivePack, TheShippedBodyJapaneseNamesAndOddLengthsReadBackFromThePackedArchive) {
    const fs::path root = fs::path(tavi::test::dataPath("../..")).lexically_normal();
    if (std::system("python3 -c '' >/dev/null 2>&1") != 0) GTEST_SKIP() << "no python3";
    tavi::test::TempFolder tmp;
    const fs::path src = fs::path(tmp.path()) / "src";
    fs::copy(root / "app/units/mebu/body", src);
    std::vector<std::pair<std::wstring, std::string>> files = {
        {L"\u65e5\u8a18/\u6625.txt", "\xE6\x98\xA5\xE3\x81\xAE\xE9\xA2\xA8"}, {L"deep/er/setup.json", "{}\n"}};
    for (int n = 1; n <= 7; ++n)
        files.push_back({L"sub/len" + std::to_wstring(n) + L".bin", std::string(n, char(0x5A + n))});
    for (const auto& [name, data] : files)
        ASSERT_TRUE(kiro::io::File(src.wstring() + L"/" + name, kiro::io::File::Write).write(data.data(), data.size()));
    for (const auto& entry : fs::directory_iterator(src))
        if (entry.is_regular_file())
            files.push_back({entry.path().filename().wstring(), tavi::test::readBytes(entry.path().wstring())});
    tavi::test::writeBytes(src.wstring() + L"/.hidden", "left out");
    const std::string command = "python3 '" + (root / "tools/pack-uwu.py").string() + "' '" + src.string() + "' -o '" +
                                (fs::path(tmp.path()) / "data.uwu").string() + "' >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    ASSERT_GT(files.size(), 20u);
    for (auto [name, data] : files) {
        std::replace(name.begin(), name.end(), L'/', L'\\');
        const kiro::io::BinaryObject b(tmp / (L"data\\" + name));
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data()), b.size()), data) << kiro::io::toUtf8(name);
    }
    EXPECT_TRUE(kiro::io::BinaryObject(tmp / L"data/.hidden").empty());
    EXPECT_TRUE(kiro::io::BinaryObject(tmp / L"data/sub/LEN1.bin").empty());  // names keep their case
}

}  // namespace

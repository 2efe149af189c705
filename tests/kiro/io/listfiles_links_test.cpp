// Listing a folder that links to folders: each file once, whatever loops and second routes
// the links make.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "kiro/io/file.h"
#include "support/tempfolder.h"

namespace {

namespace fs = std::filesystem;

TEST(ListFiles, LinksBackUpAndSecondRoutesListEachFileOnce) {
    tavi::test::TempFolder tmp;
    tavi::test::writeBytes(tmp / L"a/x.txt", "x");
    tavi::test::writeBytes(tmp / L"a/b/y.txt", "y");
    const fs::path a = fs::path(tmp.path()) / "a";
    std::error_code ec;
    fs::create_directory_symlink(a, a / "b" / "up", ec);  // a loop
    if (ec) GTEST_SKIP() << "no folder links here: " << ec.message();
    fs::create_directory_symlink(a / "b", a / "again", ec);  // a second route to b
    fs::create_directory_symlink(a / "b", a / "b" / "self", ec);  // a second loop

    std::vector<std::wstring> names;
    for (const auto& file : kiro::io::listFiles(tmp / L"a")) names.push_back(file.substr(file.size() - 5));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"x.txt", L"y.txt"}));
}

}  // namespace

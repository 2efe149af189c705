// Names derived from the program file's path.
#include "kiro/app.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/tempfolder.h"

namespace {

using kiro::app::programPaths;

void expectPaths(const std::wstring& module, const std::wstring& base, const std::wstring& directory) {
    const auto p = programPaths(module);
    EXPECT_EQ(p.base, base) << std::string(module.begin(), module.end());
    EXPECT_EQ(p.directory, directory) << std::string(module.begin(), module.end());
}

TEST(ProgramPaths, BaseCutsOnlyTheFileNamesExtension) {
    expectPaths(L"C:\\apps\\x\\prog.exe", L"C:\\apps\\x\\prog", L"C:\\apps\\x\\");
    expectPaths(L"/opt/tavi/tavi", L"/opt/tavi/tavi", L"/opt/tavi/");
    expectPaths(L"C:\\a.b\\prog", L"C:\\a.b\\prog", L"C:\\a.b\\");
    expectPaths(L"/home/u/v1.2/tavi.bin", L"/home/u/v1.2/tavi", L"/home/u/v1.2/");
    expectPaths(L"/opt/tavi/my.prog.exe", L"/opt/tavi/my.prog", L"/opt/tavi/");
    expectPaths(L"/opt/.tavi", L"/opt/.tavi", L"/opt/");
    expectPaths(L"C:\\mixed/sep\\prog.exe", L"C:\\mixed/sep\\prog", L"C:\\mixed/sep\\");
}

TEST(ProgramPaths, PathsWithoutFolders) {
    expectPaths(L"prog.exe", L"prog", L"");
    expectPaths(L"prog", L"prog", L"");
    expectPaths(L"", L"", L"");
    // The first character is never taken as a separator.
    expectPaths(L"/tavi", L"/tavi", L"");
}

TEST(ErrorLog, HoldsOnlyTheLastStartupFailureWithoutATrailingLineBreak) {
    tavi::test::TempFolder tmp;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::path(tmp.path()));
    kiro::app::writeErrorLog(kiro::Exception("/src/tavi/multiunit.cpp", 12, "tavi::MultiUnit::MultiUnit",
                                             "ERROR_UnitNotFound"));
    const std::string first = tavi::test::readBytes(tmp / L"error.log");
    kiro::app::writeErrorLog(kiro::Exception("appmain.cpp", 3, "AppMain::AppMain", nullptr));
    const std::string second = tavi::test::readBytes(tmp / L"error.log");
    std::filesystem::current_path(previous);
    EXPECT_EQ(first, "multiunit.cpp(12) tavi::MultiUnit::MultiUnit\n\nERROR_UnitNotFound");
    EXPECT_EQ(second, "appmain.cpp(3) AppMain::AppMain\n\nundefined error");
}

}  // namespace

// Names derived from the program file's path.
#include "kiro/app.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <filesystem>

#include "support/tempfolder.h"

namespace {

using kiro::app::programPaths;

TEST(ProgramPaths, BaseCutsOnlyTheFileNamesExtension) {
    struct Case {
        const wchar_t *module, *base, *directory;
    };
    const Case cases[] = {
        {L"C:\\apps\\x\\prog.exe", L"C:\\apps\\x\\prog", L"C:\\apps\\x\\"},
        {L"/opt/tavi/tavi", L"/opt/tavi/tavi", L"/opt/tavi/"},
        {L"C:\\a.b\\prog", L"C:\\a.b\\prog", L"C:\\a.b\\"},
        {L"/home/u/v1.2/tavi.bin", L"/home/u/v1.2/tavi", L"/home/u/v1.2/"},
        {L"/opt/tavi/my.prog.exe", L"/opt/tavi/my.prog", L"/opt/tavi/"},
        {L"/opt/.tavi", L"/opt/.tavi", L"/opt/"},
        {L"C:\\mixed/sep\\prog.exe", L"C:\\mixed/sep\\prog", L"C:\\mixed/sep\\"},
        // Without folders; the first character is never taken as a separator.
        {L"prog.exe", L"prog", L""}, {L"prog", L"prog", L""}, {L"", L"", L""}, {L"/tavi", L"/tavi", L""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.module, c.module + std::wcslen(c.module)));
        const auto p = programPaths(c.module);
        EXPECT_EQ(p.base, c.base);
        EXPECT_EQ(p.directory, c.directory);
    }
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

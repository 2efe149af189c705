// Names derived from the program file's path, and the error log of a failed start.
#include "kiro/app.h"

#include <gtest/gtest.h>

#include "kiro/io/charset/charset.h"
#include "support/scoped_folders.h"
#include "support/tempfolder.h"

TEST(ProgramPaths, TheBaseCutsOnlyTheFileNamesExtension) {
    const wchar_t* const cases[][3] = {// program file, base, folder
                                       {L"C:\\apps\\x\\prog.exe", L"C:\\apps\\x\\prog", L"C:\\apps\\x\\"},
                                       {L"/opt/tavi/tavi", L"/opt/tavi/tavi", L"/opt/tavi/"},
                                       {L"C:\\a.b\\prog", L"C:\\a.b\\prog", L"C:\\a.b\\"},
                                       {L"/u/v1.2/tavi.bin", L"/u/v1.2/tavi", L"/u/v1.2/"},
                                       {L"/opt/my.prog.exe", L"/opt/my.prog", L"/opt/"},
                                       {L"/opt/.tavi", L"/opt/.tavi", L"/opt/"},
                                       {L"C:\\mixed/sep\\prog.exe", L"C:\\mixed/sep\\prog", L"C:\\mixed/sep\\"},
                                       // Without folders; the first character is never taken as a separator.
                                       {L"prog.exe", L"prog", L""},
                                       {L"", L"", L""},
                                       {L"/tavi", L"/tavi", L""}};
    for (const auto& c : cases) {
        const auto p = kiro::app::programPaths(c[0]);
        EXPECT_EQ(p.base + L"|" + p.directory, std::wstring(c[1]) + L"|" + c[2]) << kiro::io::toUtf8(c[0]);
    }
}

TEST(ErrorLog, HoldsOnlyTheLastStartupFailureWithoutAFinalLineBreak) {
    tavi::test::ScopedWorkFolder folder;
    kiro::app::writeErrorLog(kiro::Exception("/src/tavi/multiunit.cpp", 12, "tavi::MultiUnit::MultiUnit", "first"));
    kiro::app::writeErrorLog(kiro::Exception("appmain.cpp", 3, "AppMain::AppMain", nullptr));
    EXPECT_EQ(tavi::test::readBytes((folder.path() / "error.log").wstring()),
              "appmain.cpp(3) AppMain::AppMain\n\nundefined error");
}

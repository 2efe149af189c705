// Replacing a file that another program holds open without sharing its deletion (a virus
// scanner, an editor): the replace waits for it a little, then gives up and says so, and
// either way the file is whole, old or new, with no temporary file left.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "kiro/io/native.h"
#include "support/tempfolder.h"

namespace {

TEST(ReplaceWin32, WaitsForABriefHolderAndGivesUpOnALongOne) {
    for (const DWORD heldMs : {300ul, 4000ul}) {
        const bool replaced = heldMs < 1000;  // a brief holder is waited for, a long one is not
        SCOPED_TRACE(heldMs);
        tavi::test::TempFolder tmp;
        const std::wstring target = tmp / L"state.ini";
        tavi::test::writeBytes(target, "old");
        HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        std::thread holder([&] {
            Sleep(heldMs);
            CloseHandle(held);
        });
        const bool ok = kiro::io::native::replaceFile(target, "new", 3);
        holder.join();
        EXPECT_EQ(ok, replaced);
        EXPECT_EQ(tavi::test::readBytes(target), replaced ? "new" : "old");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tmp.path()), {}), 1);
    }
}

}  // namespace

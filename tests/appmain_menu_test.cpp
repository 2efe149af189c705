// The menu's marks in the "user.preference" section: the two switches keep theirs across runs;
// every other item is stored as false, whatever a hand-edited section says.
#include "appmain_menu.h"

#include <gtest/gtest.h>

#include "appmain.h"
#include "kiro/app.h"

namespace {

TEST(MainMenu, OnlyTheSwitchesTakeAndKeepAMark) {
    auto& preferences = kiro::app::stateSection(L"user", L"preference");
    for (const wchar_t* key : {L"1", L"2", L"3", L"4", L"6"}) preferences[key].setString(L"true");
    {
        MainMenu menu(nullptr);
        EXPECT_TRUE(menu.isChecked(AppMain::LeaveTopmost));
        EXPECT_TRUE(menu.isChecked(AppMain::Mute));
        for (auto id : {AppMain::Exit, AppMain::Version, AppMain::ToolCommand}) {
            EXPECT_FALSE(menu.isChecked(id)) << "item " << id;
        }
        menu.contextMenu().setChecked(AppMain::Mute, false);
    }
    const std::pair<const wchar_t*, const wchar_t*> stored[] = {
        {L"1", L"false"}, {L"2", L"false"}, {L"3", L"true"}, {L"4", L"false"}, {L"6", L"false"}};
    for (const auto& [key, value] : stored) EXPECT_EQ(preferences[key].str(), value) << key;
    preferences[L"3"].setBool(false);  // the process-wide state as other tests expect it
}

}  // namespace

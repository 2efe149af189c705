// Building the context menu and keeping its check marks across runs.
#include "appmain_menu.h"

#include "appmain.h"
#include "kiro/app.h"
#include "kiro/ui/window.h"

namespace {

constexpr std::uint32_t LastId = 99;

kiro::io::Ini::Section& preferences() { return kiro::app::stateSection(L"user", L"preference"); }

}  // namespace

MainMenu::MainMenu(kiro::ui::Window* owner) : owner_(owner) {
    kiro::ui::ContextMenu memo;
    memo.add(L"新規(&N)", AppMain::ToolCommand, L"memo -new");
    memo.add(L"全て削除(&C)", AppMain::ToolCommand, L"memo -clear");
    kiro::ui::ContextMenu more;
    more.add(L"モニターの電源を切る(&A)", AppMain::ToolCommand, L"afk");

    menu_.addSubmenu(L"たびめも(&M)", memo);
    menu_.add(L"受信済みフィードを表示(&F)", AppMain::ToolCommand, L"rss -dump");
    menu_.addSubmenu(L"その他の機能(&T)", more);
    menu_.addSeparator();
    menu_.addCheck(L"ちょっとどいて(&G)", AppMain::LeaveTopmost, false);
    menu_.addCheck(L"ちょっと黙って(&Q)", AppMain::Mute, false);
    menu_.addSeparator();
    menu_.add(L"バージョン情報(&V)", AppMain::Version);
    menu_.add(L"終了(&X)", AppMain::Exit);

    // Only check items take a stored mark; a hand-edited "true" for any other item would
    // put a check mark on it.
    auto& section = preferences();
    for (std::uint32_t id = 1; id <= LastId; ++id) {
        if (auto* item = menu_.find(id)) {
            auto& value = section[std::to_wstring(id)];
            if (item->toggles) item->checked = value.getBool(item->checked);
            else value.setBool(false);
        }
    }
}

MainMenu::~MainMenu() {
    auto& section = preferences();
    for (std::uint32_t id = 1; id <= LastId; ++id) {
        if (const auto* item = menu_.find(id)) {
            section[std::to_wstring(id)].setBool(item->toggles && item->checked);
        }
    }
}

std::uint32_t MainMenu::popup(std::wstring& command) {
    if (owner_) owner_->focus();
    kiro::ui::ContextMenu::Item* picked = menu_.show(owner_);
    if (!picked) return 0;
    if (picked->payload && !picked->payload->empty()) command = *picked->payload;
    return picked->id;
}

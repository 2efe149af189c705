// The context menu of the primary character, with its check marks kept in the state file.
#pragma once

#include <cstdint>
#include <string>

#include "kiro/ui/contextmenu.h"

namespace kiro::ui {
class Window;
}

class MainMenu {
public:
    // Builds the items, then restores the check marks from the "user.preference" section.
    explicit MainMenu(kiro::ui::Window* owner);
    // Stores the check marks back into the section.
    ~MainMenu();

    // Shows the menu at the pointer; returns the picked identifier (0 for none) and copies a
    // picked item's command string out.
    std::uint32_t popup(std::wstring& command);
    bool isChecked(std::uint32_t id) const { return menu_.isChecked(id); }
    kiro::ui::ContextMenu& contextMenu() { return menu_; }

private:
    kiro::ui::Window* owner_;
    kiro::ui::ContextMenu menu_;
};

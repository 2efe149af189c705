// A menu bar inside a window; choosing one of its items sends the window a command message
// (onCommand with the item's id).
#pragma once

#include <cstdint>
#include <string>

namespace kiro::ui {

class Window;

class TopMenu {
public:
    // Takes the window's menu bar if it has one, else starts a new one (shown by attach()).
    explicit TopMenu(Window& window);
    // Leaves an attached menu bar to the window; a bar never attached is dropped.
    virtual ~TopMenu();
    TopMenu(const TopMenu&) = delete;
    TopMenu& operator=(const TopMenu&) = delete;

    // Takes the menu bar off the window and destroys it; afterwards the object holds none.
    void clear();
    // Appends an item; "&" marks its access key. Labels are cut to 63 characters.
    void addItem(const std::wstring& label, std::uint32_t id);
    // Puts the menu bar on the window, replacing (and destroying) another one there.
    void attach();

    static constexpr std::size_t maxLabel = 63;

private:
    void* menu_ = nullptr;  // the native menu bar
    Window* window_ = nullptr;
};

}  // namespace kiro::ui

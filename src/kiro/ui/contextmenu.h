// Popup context menu built from a tree of items; show() returns the chosen item.
// The item tree and its numbering are portable; contextmenu_<platform>.cpp pops it up.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kiro::ui {

class Window;

class ContextMenu {
public:
    struct Item {
        std::wstring label;  // empty: a separator
        bool disabled = false;
        bool checked = false;
        bool toggles = false;  // choosing the item flips checked
        uint32_t id = 0;       // the caller's identifier, 0 = none
        std::shared_ptr<std::wstring> payload;
        std::vector<Item> items;  // the submenu; empty for a plain item
    };

    ContextMenu() = default;
    virtual ~ContextMenu() = default;

    void add(const std::wstring& label, uint32_t id);
    void add(const std::wstring& label, uint32_t id, std::shared_ptr<std::wstring> payload);
    void add(const std::wstring& label, uint32_t id, const std::wstring& payload);
    void addCheck(const std::wstring& label, uint32_t id, bool checked);
    void addSubmenu(const std::wstring& label, const ContextMenu& sub);
    void addSeparator();

    // Depth first: an item before its submenu, the submenu before later items.
    Item* find(uint32_t id);
    const Item* find(uint32_t id) const;
    void setChecked(uint32_t id, bool checked);
    bool isChecked(uint32_t id) const;
    void setDisabled(uint32_t id, bool disabled);

    const std::vector<Item>& items() const { return items_; }

    // Pops the menu up at the pointer and waits until it closes (timers keep running).
    // Returns the chosen item (its check flag already flipped when it toggles) or null.
    Item* show(Window* owner = nullptr);

    // How the platform renders one item.
    enum class EntryKind { Submenu, Separator, Inert, Command };
    static EntryKind kindOf(const Item& item);

    // Receives the menu tree in display order while it is numbered.
    class Builder {
    public:
        virtual ~Builder() = default;
        virtual void beginSubmenu(const Item& item) = 0;
        virtual void endSubmenu() = 0;
        virtual void separator() = 0;
        // number is the command number (from 1), or 0 for an entry that cannot be chosen.
        virtual void entry(const Item& item, uint32_t number) = 0;
    };
    // Walks the items depth first, numbering the choosable ones from 1; commands[n - 1] is
    // the item with number n.
    static void build(std::vector<Item>& items, Builder& builder, std::vector<Item*>& commands);

    // Which way the menu opens from the pointer: leftwards in the right half of the work
    // area, upwards in the lower half.
    struct Alignment {
        bool right = false;   // the menu's right edge at the pointer
        bool bottom = false;  // the menu's bottom edge at the pointer
    };
    static Alignment alignmentAt(int x, int y, int areaLeft, int areaTop, int areaRight,
                                 int areaBottom);

    // The longest label shown; longer ones are cut.
    static constexpr std::size_t maxLabel = 126;

private:
    // Platform part: shows the built menu and returns the chosen command number (0: none).
    static uint32_t popup(std::vector<Item>& items, std::vector<Item*>& commands, Window* owner);

    std::vector<Item> items_;
};

}  // namespace kiro::ui

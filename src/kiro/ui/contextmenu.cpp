// Context menu items, lookup and the numbering of choosable entries (shared by every platform).
#include "kiro/ui/contextmenu.h"

#include "kiro/ui/loop.h"

namespace kiro::ui {

namespace {

template <typename ItemT>
ItemT* findIn(std::vector<ItemT>& items, uint32_t id) {
    for (auto& item : items) {
        if (item.id == id) return &item;
        if (auto* found = findIn(item.items, id)) return found;
    }
    return nullptr;
}

template <typename ItemT>
const ItemT* findIn(const std::vector<ItemT>& items, uint32_t id) {
    for (const auto& item : items) {
        if (item.id == id) return &item;
        if (const auto* found = findIn(item.items, id)) return found;
    }
    return nullptr;
}

void buildLevel(std::vector<ContextMenu::Item>& items, ContextMenu::Builder& builder,
                std::vector<ContextMenu::Item*>& commands) {
    for (auto& item : items) {
        switch (ContextMenu::kindOf(item)) {
        case ContextMenu::EntryKind::Submenu:
            builder.beginSubmenu(item);
            buildLevel(item.items, builder, commands);
            builder.endSubmenu();
            break;
        case ContextMenu::EntryKind::Separator:
            builder.separator();
            break;
        case ContextMenu::EntryKind::Inert:
            builder.entry(item, 0);
            break;
        case ContextMenu::EntryKind::Command:
            commands.push_back(&item);
            builder.entry(item, static_cast<uint32_t>(commands.size()));
            break;
        }
    }
}

}  // namespace

void ContextMenu::add(const std::wstring& label, uint32_t id) {
    Item item;
    item.label = label;
    item.id = id;
    items_.push_back(std::move(item));
}

void ContextMenu::add(const std::wstring& label, uint32_t id, std::shared_ptr<std::wstring> payload) {
    Item item;
    item.label = label;
    item.id = id;
    item.payload = std::move(payload);
    items_.push_back(std::move(item));
}

void ContextMenu::add(const std::wstring& label, uint32_t id, const std::wstring& payload) {
    add(label, id, std::make_shared<std::wstring>(payload));
}

void ContextMenu::addCheck(const std::wstring& label, uint32_t id, bool checked) {
    Item item;
    item.label = label;
    item.id = id;
    item.checked = checked;
    item.toggles = true;
    items_.push_back(std::move(item));
}

void ContextMenu::addSubmenu(const std::wstring& label, const ContextMenu& sub) {
    Item item;
    item.label = label;
    item.items = sub.items_;
    items_.push_back(std::move(item));
}

void ContextMenu::addSeparator() { items_.push_back(Item{}); }

ContextMenu::Item* ContextMenu::find(uint32_t id) {
    return id == 0 ? nullptr : findIn(items_, id);
}

const ContextMenu::Item* ContextMenu::find(uint32_t id) const {
    return id == 0 ? nullptr : findIn(items_, id);
}

void ContextMenu::setChecked(uint32_t id, bool checked) {
    if (auto* item = find(id)) item->checked = checked;
}

bool ContextMenu::isChecked(uint32_t id) const {
    const auto* item = find(id);
    return item != nullptr && item->checked;
}

void ContextMenu::setDisabled(uint32_t id, bool disabled) {
    if (auto* item = find(id)) item->disabled = disabled;
}

ContextMenu::EntryKind ContextMenu::kindOf(const Item& item) {
    if (!item.items.empty() && !item.label.empty()) return EntryKind::Submenu;
    if (item.label.empty()) return EntryKind::Separator;
    if (item.id == 0 && !item.payload) return EntryKind::Inert;
    return EntryKind::Command;
}

void ContextMenu::build(std::vector<Item>& items, Builder& builder, std::vector<Item*>& commands) {
    commands.clear();
    buildLevel(items, builder, commands);
}

ContextMenu::Alignment ContextMenu::alignmentAt(int x, int y, int areaLeft, int areaTop,
                                                int areaRight, int areaBottom) {
    // Half-way across the work area itself, so a work area that does not start at 0 (a
    // second monitor, a panel on the left) still splits in its middle.
    Alignment a;
    a.right = x >= areaLeft + (areaRight - areaLeft) / 2;
    a.bottom = y >= areaTop + (areaBottom - areaTop) / 2;
    return a;
}

ContextMenu::Item* ContextMenu::show(Window* owner) {
    // While the program is quitting nobody is there to choose.
    if (items_.empty() || quitRequested()) return nullptr;
    std::vector<Item*> commands;
    const uint32_t chosen = popup(items_, commands, owner);
    if (chosen == 0 || chosen > commands.size() || quitRequested()) return nullptr;
    Item* item = commands[chosen - 1];
    if (item->toggles) item->checked = !item->checked;
    return item;
}

}  // namespace kiro::ui

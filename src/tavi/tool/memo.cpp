// The memo tool: the notes found at start, new notes under names never used before, and the
// clearing of all unprotected notes.
#include "tavi/tool/memo.h"

#include <cwchar>

#include "kiro/io/file.h"
#include "kiro/ui/ask.h"
#include "tavi/tool/sticky.h"

namespace tavi::tool {

namespace {

constexpr const wchar_t* ClearQuestion = L"保護以外の全てのメモを削除しますか？";

bool leapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysIn(int year, int month) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && leapYear(year)) return 29;
    return month >= 1 && month <= 12 ? days[month - 1] : 31;
}

// The same wall-clock time one second later (calendar fields only; no time zone involved).
kiro::LocalTime nextSecond(kiro::LocalTime t) {
    if (++t.second < 60) return t;
    t.second = 0;
    if (++t.minute < 60) return t;
    t.minute = 0;
    if (++t.hour < 24) return t;
    t.hour = 0;
    t.dayOfWeek = (t.dayOfWeek + 1) % 7;
    if (++t.day <= daysIn(t.year, t.month)) return t;
    t.day = 1;
    if (++t.month <= 12) return t;
    t.month = 1;
    ++t.year;
    return t;
}

std::wstring pathAt(const kiro::LocalTime& t) {
    wchar_t name[64];
    std::swprintf(name, 64, L"%04d%02d%02d%02d%02d%02d.dat", t.year, t.month, t.day, t.hour, t.minute, t.second);
    return std::wstring(Memo::Folder) + name;
}

}  // namespace

Memo::Memo(kiro::ui::Window* owner, kiro::LocalClock clock) : owner_(owner), clock_(std::move(clock)) {
    for (const std::wstring& path : kiro::io::listFiles(Folder, L"*.dat")) {
        notes_.push_back(std::make_unique<Sticky>(owner_, path));
    }
}

Memo::~Memo() {
    notes_.clear();
}

std::wstring Memo::newPath(const kiro::LocalTime& t, const std::function<bool(const std::wstring&)>& taken) {
    kiro::LocalTime at = t;
    std::wstring path = pathAt(at);
    while (taken(path)) {
        at = nextSecond(at);
        path = pathAt(at);
    }
    return path;
}

bool Memo::taken(const std::wstring& datPath) const {
    // A note still in its first editor has no files yet; its name is taken all the same.
    for (const auto& note : notes_) {
        if (note->datPath() == datPath) return true;
    }
    return kiro::io::exists(datPath) || kiro::io::exists(datPath + L".ini");
}

void Memo::command(const Command& command) {
    if (command.hasOption(L"new")) {
        const std::wstring path = newPath(clock_(), [this](const std::wstring& p) { return taken(p); });
        notes_.push_back(std::make_unique<Sticky>(owner_, path));
        return;
    }
    if (!command.hasOption(L"clear")) return;
    if (!kiro::ui::ask(ClearQuestion)) return;
    for (auto it = notes_.begin(); it != notes_.end();) {
        if ((*it)->isProtected() && (*it)->state() != Sticky::Deleted) {
            ++it;
            continue;
        }
        (*it)->remove(false);
        it = notes_.erase(it);
    }
}

}  // namespace tavi::tool

// The memo tool: the user's sticky notes, each a text file "data/memo/<14 digits>.dat" with
// its settings beside it in "<same>.dat.ini"; every note found is shown at start, "memo -new"
// adds one and "memo -clear" deletes all that are not protected.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "kiro/clock.h"
#include "tavi/tool/toolkit.h"

namespace kiro::ui {
class Window;
}

namespace tavi::tool {

class Memo : public IToolKit {
public:
    class Sticky;

    static constexpr const wchar_t* Folder = L"data/memo/";

    // Shows every "*.dat" of the folder; owner will own the note windows (it may be null).
    explicit Memo(kiro::ui::Window* owner, kiro::LocalClock clock = kiro::localTime);
    // Every note saves what changed as it goes.
    ~Memo() override;

    // "-new": a new note in its editor. "-clear": after asking, every note that is not
    // protected is deleted with its files.
    void command(const Command& command) override;

    const std::vector<std::unique_ptr<Sticky>>& notes() const { return notes_; }

    // The text file of a note created at time t: Folder + "YYYYMMDDhhmmss.dat", moved on by
    // whole seconds while taken(path) says that name is in use.
    static std::wstring newPath(const kiro::LocalTime& t, const std::function<bool(const std::wstring&)>& taken);

private:
    bool taken(const std::wstring& datPath) const;

    kiro::ui::Window* owner_;
    kiro::LocalClock clock_;
    std::vector<std::unique_ptr<Sticky>> notes_;
};

}  // namespace tavi::tool

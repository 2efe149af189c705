// A temporary application folder holding characters ("units/<name>" with a small skin and
// the given brain tables), current for the test's lifetime; and a tick loop for them.
#pragma once

#include <functional>
#include <string>

#include "kiro/io/charset/charset.h"
#include "support/cases.h"
#include "support/scoped_folders.h"
#include "support/uidriver.h"

namespace tavi::test {

class UnitFolder : public ScopedWorkFolder {
public:
    void addUnit(const std::string& name, const std::string& eventJson, const std::string& responseJson = "{}") {
        const std::string unit = "units/" + name;
        write(unit + "/body/setup.json", R"({"motions": {"idle": {"images": ["wide.png"]},
            "standby": {"images": ["tall.png"]}, "speak": {"images": ["wide.png"]}, "happy": {"images": ["tall.png"]}}})");
        write(unit + "/body/wide.png", readData("skin/wide.png"));  // 40 x 20
        write(unit + "/body/tall.png", readData("skin/tall.png"));  // 10 x 60
        write(unit + "/brain/event.json", eventJson);
        write(unit + "/brain/response.json", responseJson);
    }
};

// Calls tick every 20 ms while turning the UI loop, until done() or the time is up.
inline bool tickUntil(const std::function<void()>& tick, const std::function<bool()>& done, int ms) {
    return uitest::waitUntil([&] { return tick(), uitest::pump(20), done(); }, ms);
}

}  // namespace tavi::test

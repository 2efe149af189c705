// What a speech balloon shows and when: lines revealed one character per tick, a display time
// that grows with the newest line's length, and all lines leaving together.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavi {

struct BalloonLine {
    std::wstring text;    // after the escape rules
    size_t revealed = 0;  // characters shown so far
};

class BalloonLines {
public:
    // Appends a line; an empty text changes nothing. Returns whether a line was added.
    bool add(const std::wstring& text);
    // One tick. Returns whether what is drawn changed.
    bool update(float seconds);

    bool isEmpty(float* silence = nullptr) const;
    // Ticks of update(TickSeconds) until what is drawn next changes: 1 while a line is being
    // revealed, then the end of the display time; NeverDue when empty.
    uint32_t ticksUntilDue() const;
    const std::vector<BalloonLine>& lines() const { return lines_; }
    float remaining() const { return remaining_; }

    // The escape rules: "\\" becomes "\", then "\n" becomes a line break.
    static std::wstring unescape(const std::wstring& text);
    // Display time once fully revealed: ((length >> 3) | 3) + 1 seconds.
    static float displayTime(size_t length);

private:
    std::vector<BalloonLine> lines_;
    float remaining_ = 0;
    float silence_ = 0;
};

}  // namespace tavi

// Timing of the speech balloon's lines.
#include "tavi/body/balloonlines.h"

#include "tavi/ticks.h"

namespace tavi {
namespace {

std::wstring replaceAll(const std::wstring& text, const std::wstring& from, const std::wstring& to) {
    std::wstring out;
    out.reserve(text.size());
    size_t pos = 0;
    for (;;) {
        size_t hit = text.find(from, pos);
        if (hit == std::wstring::npos) break;
        out.append(text, pos, hit - pos);
        out += to;
        pos = hit + from.size();
    }
    out.append(text, pos, std::wstring::npos);
    return out;
}

}  // namespace

std::wstring BalloonLines::unescape(const std::wstring& text) {
    return replaceAll(replaceAll(text, L"\\\\", L"\\"), L"\\n", L"\n");
}

float BalloonLines::displayTime(size_t length) {
    return static_cast<float>(((length >> 3) | 3) + 1);
}

bool BalloonLines::add(const std::wstring& text) {
    if (text.empty()) return false;
    for (auto& line : lines_) line.revealed = line.text.size();
    lines_.push_back({unescape(text), 0});
    remaining_ = displayTime(text.size());
    silence_ = 0;
    return true;
}

bool BalloonLines::update(float seconds) {
    if (lines_.empty()) {
        silence_ += seconds;
        return false;
    }
    BalloonLine& newest = lines_.back();
    if (newest.revealed < newest.text.size()) {
        ++newest.revealed;
        return true;
    }
    remaining_ -= seconds;
    if (remaining_ > 0) return false;
    lines_.clear();
    return true;
}

uint32_t BalloonLines::ticksUntilDue() const {
    if (lines_.empty()) return NeverDue;
    if (lines_.back().revealed < lines_.back().text.size()) return 1;
    return ticksUntilSpent(remaining_);
}

bool BalloonLines::isEmpty(float* silence) const {
    if (silence) *silence = silence_;
    return lines_.empty();
}

}  // namespace tavi

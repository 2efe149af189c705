// Drawing one candidate line and filling its placeholders.
#include "tavi/oreb/responseset.h"

#include "kiro/random.h"

namespace tavi::oreb {

ResponseSet::ResponseSet(kiro::LocalClock clock) : clock_(std::move(clock)) {}

void ResponseSet::add(std::wstring text, std::wstring action) {
    candidates_.push_back(Response{std::move(text), std::move(action)});
}

void ResponseSet::set(const std::wstring& key, const std::wstring& value) {
    variables_.insert_or_assign(key, value);
}

void ResponseSet::substitute(std::wstring& text, const std::wstring& key,
                             const std::wstring& value) {
    const std::wstring placeholder = L"%" + key + L"%";
    size_t from = 0;
    while ((from = text.find(placeholder, from)) != std::wstring::npos) {
        text.replace(from, placeholder.size(), value);
        from += value.size();  // never rescan what was just inserted
    }
}

bool ResponseSet::take(Response& out) {
    if (candidates_.empty()) return false;
    out = candidates_[kiro::randomIndex(candidates_.size() - 1)];

    const kiro::LocalTime now = clock_ ? clock_() : kiro::localTime();
    variables_.insert_or_assign(L"hour", std::to_wstring(now.hour));
    variables_.insert_or_assign(L"minute", std::to_wstring(now.minute));
    variables_.insert_or_assign(L"second", std::to_wstring(now.second));

    for (const auto& [key, value] : variables_) substitute(out.text, key, value);

    candidates_.clear();
    variables_.clear();
    return true;
}

}  // namespace tavi::oreb

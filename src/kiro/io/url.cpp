// The URL splitter. The host ends at the first '/', '?' or '#'; a fragment is never part of
// what is sent to a server, so it is dropped.
#include "kiro/io/url.h"

namespace kiro::io {

Url::Url(const std::wstring& text) {
    const size_t mark = text.find(L"://");
    if (mark == std::wstring::npos) return;

    scheme = text.substr(0, mark);
    const size_t hostStart = mark + 3;
    std::wstring rest = text.substr(hostStart);
    const size_t fragment = rest.find(L'#');
    if (fragment != std::wstring::npos) rest.erase(fragment);

    const size_t hostEnd = rest.find_first_of(L"/?");
    host = rest.substr(0, hostEnd);
    std::wstring tail = hostEnd == std::wstring::npos ? std::wstring() : rest.substr(hostEnd);

    const size_t question = tail.find(L'?');
    if (question != std::wstring::npos) {
        query = tail.substr(question + 1);
        tail.erase(question);
    }
    path = tail.empty() ? L"/" : tail;

    const size_t dot = path.rfind(L'.');
    if (dot != std::wstring::npos && path.find(L'/', dot) == std::wstring::npos)
        extension = path.substr(dot + 1);

    full = scheme + L"://" + host + path;
    if (scheme == L"http") port = 80;
    else if (scheme == L"https") port = 443;
}

}  // namespace kiro::io

// The page "rss -dump" writes: the number of items and a list of them, as HTML in UTF-8.
// Feed texts are untrusted: each is escaped, and a link other than http or https is not made.
#include <cwctype>

#include "tavi/tool/rss.h"

namespace tavi::tool {

namespace {

std::wstring escaped(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        switch (c) {
            case L'&':
                out += L"&amp;";
                break;
            case L'<':
                out += L"&lt;";
                break;
            case L'>':
                out += L"&gt;";
                break;
            case L'"':
                out += L"&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

bool startsWithNoCase(const std::wstring& text, const std::wstring& prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::towlower(static_cast<wint_t>(text[i])) != static_cast<wint_t>(prefix[i])) return false;
    }
    return true;
}

bool webAddress(const std::wstring& link) {
    return startsWithNoCase(link, L"http://") || startsWithNoCase(link, L"https://");
}

}  // namespace

std::wstring feedPage(const std::vector<FeedItem>& items) {
    std::wstring page = L"<html><head><meta charset=\"utf-8\"><title>RSS</title></head><body>\n";
    page += L"<p>" + std::to_wstring(items.size()) + L" 件のニュースフィード</p>\n";
    page += L"<ul>\n";
    for (const FeedItem& item : items) {
        page += L"<li>";
        if (webAddress(item.link)) {
            page += L"<a href=\"" + escaped(item.link) + L"\" target=\"_blank\">" + escaped(item.title) + L"</a>";
        } else {
            page += escaped(item.title);
        }
        page += L"<br><span style=\"color:#444;font-size:.8rem;\">" + escaped(item.date) + L"</span></li>\n";
    }
    page += L"</ul>\n";
    page += L"</body></html>\n";
    return page;
}

}  // namespace tavi::tool

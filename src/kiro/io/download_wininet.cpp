// Windows backend of the HTTP download over WinINet, with the system's proxy settings. The
// session is asynchronous so that the thread waits for each call in short slices and can give
// up on a stalled server: a blocking WinINet call cannot be interrupted everywhere (under Wine
// closing its handle does not wake it). What a call still pending may write into lives in a
// Request that WinINet's status callback deletes when the request handle is finally closed.
#include <windows.h>

#include <wincrypt.h>
#include <wininet.h>

#include <algorithm>
#include <cwctype>
#include <vector>

#include "kiro/io/download_platform.h"
#include "kiro/io/url.h"

namespace kiro::io::http {

namespace {

struct Request {
    HANDLE done = CreateEventW(nullptr, FALSE, FALSE, nullptr);  // set by each completion
    INTERNET_ASYNC_RESULT result{};
    DWORD available = 0;
    DWORD read = 0;
    BYTE buffer[64 * 1024];
};

void CALLBACK onStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info, DWORD) {
    if (context == 0) return;  // the session and connection handles carry none
    auto* request = reinterpret_cast<Request*>(context);
    if (status == INTERNET_STATUS_REQUEST_COMPLETE) {
        request->result = *static_cast<const INTERNET_ASYNC_RESULT*>(info);
        SetEvent(request->done);
    } else if (status == INTERNET_STATUS_HANDLE_CLOSING) {
        // The last call for this request: nothing pending can write into it any more.
        CloseHandle(request->done);
        delete request;
    }
}

// The outcome of a call made on the asynchronous session: at once, or when its completion
// arrives; false as soon as stop is set.
bool settled(BOOL ok, Request& request, const std::atomic<bool>& stop) {
    if (ok) return true;
    if (GetLastError() != ERROR_IO_PENDING) return false;
    while (!stop) {
        if (WaitForSingleObject(request.done, 100) == WAIT_OBJECT_0) return request.result.dwResult != 0;
    }
    return false;
}

bool readBody(HINTERNET handle, Request& request, const std::atomic<bool>& stop, BinaryObject& body) {
    for (;;) {
        ResetEvent(request.done);
        request.available = 0;
        if (!InternetQueryDataAvailable(handle, &request.available, 0, 0)) {
            // Data arrived (or the answer ended): ask again, which now answers at once.
            if (!settled(FALSE, request, stop)) return false;
            continue;
        }
        if (request.available == 0) return true;
        ResetEvent(request.done);
        request.read = 0;
        const DWORD want = std::min<DWORD>(request.available, sizeof request.buffer);
        if (!settled(InternetReadFile(handle, request.buffer, want, &request.read), request, stop)) return false;
        if (request.read == 0) return true;
        if (!keep(body, request.buffer, request.read)) return false;
    }
}

bool exchange(HINTERNET handle, Request& request, const std::atomic<bool>& stop, BinaryObject& body) {
    for (int send = 0; send < 2; ++send) {
        ResetEvent(request.done);
        if (!settled(HttpSendRequestW(handle, nullptr, 0, nullptr, 0), request, stop)) return false;
        DWORD status = 0;
        DWORD length = sizeof status;
        if (!HttpQueryInfoW(handle, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &length, nullptr))
            return false;
        const bool denied = status == 401 || status == 407;
        if (send == 0 && denied) {
            // The caller has no credentials: an empty user name and password, once.
            wchar_t empty[256] = {};
            InternetSetOptionW(handle, INTERNET_OPTION_USERNAME, empty, 0);
            InternetSetOptionW(handle, INTERNET_OPTION_PASSWORD, empty, 0);
            continue;
        }
        if (status != 200 && !denied) return false;
        return readBody(handle, request, stop, body);
    }
    return false;
}

// Splits "host", "host:port" or "[v6]:port"; false for a port that is not a number in range.
bool splitHost(const std::wstring& text, std::wstring& host, INTERNET_PORT& port) {
    host = text;
    const size_t colon = text.rfind(L':');
    const size_t bracket = text.rfind(L']');
    if (colon != std::wstring::npos && (bracket == std::wstring::npos || colon > bracket)) {
        const std::wstring digits = text.substr(colon + 1);
        if (digits.empty() || digits.size() > 5 || !std::all_of(digits.begin(), digits.end(), iswdigit)) return false;
        const unsigned long value = std::wcstoul(digits.c_str(), nullptr, 10);
        if (value == 0 || value > 65535) return false;
        port = INTERNET_PORT(value);
        host = text.substr(0, colon);
    }
    if (host.size() >= 2 && host.front() == L'[' && host.back() == L']') host = host.substr(1, host.size() - 2);
    return !host.empty();
}

}  // namespace

bool get(const std::wstring& url, const std::atomic<bool>& stop, BinaryObject& body) {
    const Url parts(url);
    std::wstring scheme = parts.scheme;
    std::transform(scheme.begin(), scheme.end(), scheme.begin(), towlower);
    if (scheme != L"http" && scheme != L"https") return false;
    const bool secure = scheme == L"https";
    std::wstring host;
    INTERNET_PORT port = secure ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT;
    if (!splitHost(parts.host, host, port)) return false;
    const std::wstring object = parts.query.empty() ? parts.path : parts.path + L"?" + parts.query;

    // Always from the server, never into the cache, no redirects; certificates are checked.
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT;
    if (secure) flags |= INTERNET_FLAG_SECURE;

    HINTERNET session = InternetOpenW(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, INTERNET_FLAG_ASYNC);
    if (session == nullptr) return false;
    InternetSetStatusCallbackW(session, onStatus);
    HINTERNET connection = InternetConnectW(session, host.c_str(), port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    bool ok = false;
    if (connection != nullptr) {
        auto* request = new Request;
        HINTERNET handle = HttpOpenRequestW(connection, L"GET", object.c_str(), nullptr, nullptr, nullptr, flags,
                                            reinterpret_cast<DWORD_PTR>(request));
        if (handle == nullptr) {
            CloseHandle(request->done);
            delete request;
        } else {
            ok = exchange(handle, *request, stop, body);
            InternetCloseHandle(handle);  // request belongs to the callback from here on
        }
        InternetCloseHandle(connection);
    }
    InternetCloseHandle(session);
    return ok;
}

void trustAuthority(const std::wstring& pemFile) {
    const BinaryObject pem(pemFile);
    if (pem.empty()) return;
    const auto* text = reinterpret_cast<const char*>(pem.data());
    DWORD size = 0;
    if (!CryptStringToBinaryA(text, DWORD(pem.size()), CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr))
        return;
    std::vector<BYTE> der(size);
    if (!CryptStringToBinaryA(text, DWORD(pem.size()), CRYPT_STRING_BASE64HEADER, der.data(), &size, nullptr, nullptr))
        return;
    HCERTSTORE root = CertOpenSystemStoreW(0, L"ROOT");
    if (root == nullptr) return;
    CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING, der.data(), size, CERT_STORE_ADD_REPLACE_EXISTING,
                                     nullptr);
    CertCloseStore(root, 0);
}

}  // namespace kiro::io::http

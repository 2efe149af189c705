// Linux backend of the HTTP download over libcurl: one GET through a multi handle, polled in
// short steps so that a stop request is seen even while the server says nothing. The proxy
// comes from the environment (http_proxy, https_proxy, no_proxy), as curl reads it.
#include <curl/curl.h>

#include <memory>
#include <mutex>
#include <string>

#include "kiro/io/charset/charset.h"
#include "kiro/io/download_platform.h"

namespace kiro::io::http {

namespace {

std::once_flag curlStarted;
std::mutex authorityLock;
std::string authorityFile;  // empty: the system's authorities

struct EasyClose {
    void operator()(CURL* e) const { curl_easy_cleanup(e); }
};
struct MultiClose {
    void operator()(CURLM* m) const { curl_multi_cleanup(m); }
};

// One send of the request and what its answer may deliver.
struct Attempt {
    CURL* easy;
    BinaryObject* body;
    bool second;  // the retry after 401 or 407, whose answer is delivered whatever it is
};

bool delivers(long status, bool second) {
    return status == 200 || (second && (status == 401 || status == 407));
}

size_t onBody(char* bytes, size_t size, size_t count, void* user) {
    auto& attempt = *static_cast<Attempt*>(user);
    long status = 0;
    curl_easy_getinfo(attempt.easy, CURLINFO_RESPONSE_CODE, &status);
    // An answer that is not delivered is not read either; returning short ends the transfer.
    if (!delivers(status, attempt.second)) return 0;
    const size_t n = size * count;
    return keep(*attempt.body, bytes, n) ? n : 0;
}

// Runs the transfer until it ends or stop is set; the result is curl's, or an abort on stop.
CURLcode perform(CURLM* multi, CURL* easy, const std::atomic<bool>& stop) {
    CURLcode result = CURLE_ABORTED_BY_CALLBACK;
    if (curl_multi_add_handle(multi, easy) != CURLM_OK) return CURLE_FAILED_INIT;
    while (!stop) {
        int running = 0;
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        if (running == 0) {
            int left = 0;
            while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
                if (message->msg == CURLMSG_DONE) result = message->data.result;
            }
            break;
        }
        curl_multi_poll(multi, nullptr, 0, 100, nullptr);
    }
    curl_multi_remove_handle(multi, easy);
    return result;
}

}  // namespace

bool get(const std::wstring& url, const std::atomic<bool>& stop, BinaryObject& body) {
    std::call_once(curlStarted, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    std::unique_ptr<CURL, EasyClose> easy(curl_easy_init());
    std::unique_ptr<CURLM, MultiClose> multi(curl_multi_init());
    if (!easy || !multi) return false;

    const std::string address = toUtf8(url);
    CURL* e = easy.get();
    curl_easy_setopt(e, CURLOPT_URL, address.c_str());
    // Nothing but web addresses: a feed list must not reach files or other services.
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
    {
        std::lock_guard<std::mutex> hold(authorityLock);
        if (!authorityFile.empty()) curl_easy_setopt(e, CURLOPT_CAINFO, authorityFile.c_str());
    }
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, onBody);

    for (int send = 0; send < 2; ++send) {
        Attempt attempt{e, &body, send == 1};
        curl_easy_setopt(e, CURLOPT_WRITEDATA, &attempt);
        const CURLcode result = perform(multi.get(), e, stop);
        if (stop) return false;
        long status = 0;
        long proxyStatus = 0;
        curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &status);
        curl_easy_getinfo(e, CURLINFO_HTTP_CONNECTCODE, &proxyStatus);
        if (send == 0 && (status == 401 || status == 407 || proxyStatus == 407)) {
            // The caller has no credentials: an empty user name and password, once.
            curl_easy_setopt(e, proxyStatus == 407 || status == 407 ? CURLOPT_PROXYUSERPWD : CURLOPT_USERPWD, ":");
            continue;
        }
        return result == CURLE_OK && delivers(status, send == 1);
    }
    return false;
}

void trustAuthority(const std::wstring& pemFile) {
    std::lock_guard<std::mutex> hold(authorityLock);
    authorityFile = toUtf8(pemFile);
}

}  // namespace kiro::io::http

#include "update/HttpGet.h"

#include <atomic>
#include <cstring>
#include <new>
#include <string>

namespace {

const DWORD kReadBytes = 4096;
const int kMostRedirects = 5;

void LimitWaits(HINTERNET handle, DWORD milliseconds) {
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        InternetSetOptionW(handle, option, &milliseconds, sizeof(milliseconds));
}

bool IsRedirect(DWORD status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// A decimal number that fits 32 bits, and nothing else.
bool ParseLength(const wchar_t* text, DWORD& value) {
    if (*text == L'\0') return false;
    unsigned long long number = 0;
    for (; *text; ++text) {
        if (*text < L'0' || *text > L'9') return false;
        number = number * 10 + static_cast<unsigned>(*text - L'0');
        if (number > 0xFFFFFFFFull) return false;
    }
    value = static_cast<DWORD>(number);
    return true;
}

} // namespace

// What WinINet hands back for one request. Its threads write here until it
// closes the request, which under Wine may be long after the worker has
// given up (a blocked receive ends only when the socket gives), so the
// worker and the request handle each hold it; the last to let go frees it.
struct PendingReply {
    std::atomic<LONG> holds{1};
    ScopedHandle done{CreateEventW(nullptr, FALSE, FALSE, nullptr)}; // an operation completed
    INTERNET_ASYNC_RESULT result{};                                  // written before done is set
    DWORD count = 0;                                                 // bytes available or read
    char block[kReadBytes];                                          // what InternetReadFile fills

    void Release() {
        if (--holds == 0) delete this;
    }
};

namespace {

void CALLBACK OnStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info, DWORD length) {
    if (context == 0) return; // only the request carries one
    auto* reply = reinterpret_cast<PendingReply*>(context);
    if (status == INTERNET_STATUS_REQUEST_COMPLETE) {
        reply->result = info && length >= sizeof(INTERNET_ASYNC_RESULT)
                            ? *static_cast<const INTERNET_ASYNC_RESULT*>(info)
                            : INTERNET_ASYNC_RESULT{FALSE, ERROR_INTERNET_INTERNAL_ERROR};
        SetEvent(reply->done.get());
    } else if (status == INTERNET_STATUS_HANDLE_CLOSING) {
        reply->Release(); // WinINet's last word on this request
    }
}

} // namespace

HttpGet::HttpGet(const wchar_t* agent, DWORD waitMilliseconds, const CancelFlag& cancel)
    : wait_(waitMilliseconds), cancelled_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), listening_(cancel, *this) {
    std::lock_guard<std::mutex> hold(lock_);
    if (closed_ || !cancelled_) return;
    session_.reset(InternetOpenW(agent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, INTERNET_FLAG_ASYNC));
    if (!session_) return;
    // Without the callback no operation would ever be heard to complete.
    if (InternetSetStatusCallbackW(session_.get(), OnStatus) == INTERNET_INVALID_STATUS_CALLBACK) {
        session_.reset();
        return;
    }
    LimitWaits(session_.get(), wait_);
}

HttpGet::~HttpGet() {
    CloseRequest();
    std::lock_guard<std::mutex> hold(lock_);
    session_.reset();
}

void HttpGet::Cancelled() {
    std::lock_guard<std::mutex> hold(lock_);
    closed_ = true;
    request_.reset();
    connection_.reset();
    session_.reset();
    SetEvent(cancelled_.get());
}

void HttpGet::CloseRequest() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        request_.reset();
        connection_.reset();
    }
    if (pending_) pending_->Release();
    pending_ = nullptr;
}

// Runs call on the request under the lock, so a cancel never closes the
// handle during the call nor before it; ERROR_SUCCESS, ERROR_IO_PENDING when
// WinINet goes on in the background, or the error.
template <typename Call>
DWORD HttpGet::OnRequest(Call call) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!request_) return ERROR_INVALID_HANDLE;
    return call(request_.get()) ? ERROR_SUCCESS : GetLastError();
}

// Waits for an operation WinINet goes on with, until it completes, the limit
// passes or a cancel comes.
bool HttpGet::Finish(DWORD started) {
    if (started != ERROR_IO_PENDING) return started == ERROR_SUCCESS;
    HANDLE events[] = {cancelled_.get(), pending_->done.get()};
    return WaitForMultipleObjects(2, events, FALSE, wait_) == WAIT_OBJECT_0 + 1 && pending_->result.dwResult != 0;
}

bool HttpGet::SendOnce(const UrlParts& url, DWORD& status) {
    CloseRequest(); // the one before, in a redirect chain
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (!session_) return false;
        connection_.reset(
            InternetConnectW(session_.get(), url.host, url.port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
        if (!connection_) return false;
        LimitWaits(connection_.get(), wait_);
        pending_ = new (std::nothrow) PendingReply;
        if (!pending_ || !pending_->done) return false;
        // Redirects are ours to follow: WinINet would follow a loop for ever.
        DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                      INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_NO_AUTO_REDIRECT |
                      (url.secure ? INTERNET_FLAG_SECURE : 0);
        request_.reset(HttpOpenRequestW(connection_.get(), L"GET", url.path, nullptr, nullptr, nullptr, flags,
                                        reinterpret_cast<DWORD_PTR>(pending_)));
        if (!request_) return false;
        ++pending_->holds; // the request's, let go at INTERNET_STATUS_HANDLE_CLOSING
        LimitWaits(request_.get(), wait_);
    }
    if (!Finish(OnRequest([](HINTERNET r) { return HttpSendRequestW(r, nullptr, 0, nullptr, 0); }))) return false;
    DWORD size = sizeof(status);
    return OnRequest([&](HINTERNET r) {
               return HttpQueryInfoW(r, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr);
           }) == ERROR_SUCCESS;
}

// The redirect's Location, resolved against url, becomes url.
bool HttpGet::NextUrl(UrlParts& url) {
    wchar_t location[INTERNET_MAX_URL_LENGTH];
    DWORD bytes = sizeof(location);
    if (OnRequest([&](HINTERNET r) { return HttpQueryInfoW(r, HTTP_QUERY_LOCATION, location, &bytes, nullptr); }) !=
        ERROR_SUCCESS)
        return false;
    std::wstring base =
        std::wstring(url.secure ? L"https://" : L"http://") + url.host + L":" + std::to_wstring(url.port) + url.path;
    wchar_t next[INTERNET_MAX_URL_LENGTH];
    DWORD units = INTERNET_MAX_URL_LENGTH;
    return InternetCombineUrlW(base.c_str(), location, next, &units, ICU_ENCODE_SPACES_ONLY) && SplitUrl(next, url);
}

bool HttpGet::Send(const UrlParts& first) {
    UrlParts url = first;
    for (int redirects = 0;; ++redirects) {
        DWORD status = 0;
        if (!SendOnce(url, status)) return false;
        // An error page is not what was asked for.
        if (status >= 200 && status <= 299) return true;
        if (!IsRedirect(status) || redirects == kMostRedirects || !NextUrl(url)) return false;
    }
}

bool HttpGet::Read(char* buffer, DWORD capacity, DWORD& got) {
    got = 0;
    if (!pending_) return false;
    // Only what has arrived: a read of a whole block would wait for all of it.
    for (;;) {
        pending_->count = 0;
        DWORD started =
            OnRequest([this](HINTERNET r) { return InternetQueryDataAvailable(r, &pending_->count, 0, 0); });
        if (started == ERROR_SUCCESS) break;
        if (!Finish(started)) return false;
        // Completed in the background: Wine hands the count over, Windows
        // tells it in dwError; neither means the end of the body. Otherwise
        // the bytes now wait in WinINet and the next query sees them.
        if (pending_->count == 0 && pending_->result.dwError == 0) return true;
    }
    DWORD want = pending_->count;
    if (want > capacity) want = capacity;
    if (want > kReadBytes) want = kReadBytes;
    if (want == 0) return true; // the end of the body
    pending_->count = 0;
    if (!Finish(OnRequest([&](HINTERNET r) { return InternetReadFile(r, pending_->block, want, &pending_->count); })))
        return false;
    got = pending_->count < want ? pending_->count : want;
    memcpy(buffer, pending_->block, got);
    return true;
}

bool HttpGet::ContentLength(DWORD& length, bool& known) {
    length = 0;
    known = false;
    std::wstring text(32, L'\0');
    DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    auto query = [&](HINTERNET r) { return HttpQueryInfoW(r, HTTP_QUERY_CONTENT_LENGTH, &text[0], &bytes, nullptr); };
    DWORD error = OnRequest(query);
    if (error == ERROR_INSUFFICIENT_BUFFER) {
        text.assign(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        error = OnRequest(query);
    }
    if (error == ERROR_HTTP_HEADER_NOT_FOUND) return true;
    known = true;
    return error == ERROR_SUCCESS && ParseLength(text.c_str(), length);
}

bool SplitUrl(const wchar_t* url, UrlParts& parts) {
    parts = UrlParts{};
    URL_COMPONENTSW pieces = {};
    pieces.dwStructSize = sizeof(pieces);
    pieces.lpszHostName = parts.host;
    pieces.dwHostNameLength = sizeof(parts.host) / sizeof(parts.host[0]);
    pieces.lpszUrlPath = parts.path;
    pieces.dwUrlPathLength = sizeof(parts.path) / sizeof(parts.path[0]);
    if (!InternetCrackUrlW(url, 0, 0, &pieces)) return false;
    if (pieces.nScheme != INTERNET_SCHEME_HTTP && pieces.nScheme != INTERNET_SCHEME_HTTPS) return false;
    if (parts.host[0] == L'\0') return false;
    if (parts.path[0] == L'\0') wcscpy(parts.path, L"/");
    parts.port = pieces.nPort;
    parts.secure = pieces.nScheme == INTERNET_SCHEME_HTTPS;
    return true;
}

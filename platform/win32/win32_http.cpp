// One HTTP GET with WinINet, which follows redirects and the system's proxy settings. The
// request runs on a thread of its own while the game's thread waits for it with the window
// still answering (a request may take WinINet's time-outs, far longer than Windows lets a
// window ignore its queue).

#include <cstring>
#include <string>
#include <vector>

#include "platform/core/http_policy.h"
#include "platform/win32/win32_backend.h"
// After windows.h, which they need.
#include <wininet.h>

namespace {

bool IsWebUrl(const char* url) {
    return std::strncmp(url, "http://", 7) == 0 || std::strncmp(url, "https://", 8) == 0;
}

void SetTimeout(HINTERNET session, DWORD option, DWORD ms) {
    InternetSetOptionW(session, option, &ms, sizeof ms);
}

struct InternetHandle {
    HINTERNET handle;
    ~InternetHandle() {
        if (handle) InternetCloseHandle(handle);
    }
};

// The reason of a WinINet call that failed.
std::string Failure(const char* what) {
    return std::string(what) + " (WinINet error " + std::to_string(GetLastError()) + ")";
}

// The request itself, on the calling thread.
int Get(const char* url, std::string* body, size_t maxBodyBytes) {
    InternetHandle session = {
        InternetOpenA(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0)};
    if (!session.handle) return HttpAnswer(url, Failure("no session").c_str(), 0, body);
    SetTimeout(session.handle, INTERNET_OPTION_CONNECT_TIMEOUT, kHttpConnectTimeoutMs);
    SetTimeout(session.handle, INTERNET_OPTION_SEND_TIMEOUT, kHttpRequestTimeoutMs);
    SetTimeout(session.handle, INTERNET_OPTION_RECEIVE_TIMEOUT, kHttpRequestTimeoutMs);
    // Every request reaches the server: a score and a place are never answered from a cache.
    const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                        INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_UI;
    InternetHandle request = {InternetOpenUrlA(session.handle, url, nullptr, 0, flags, 0)};
    if (!request.handle) return HttpAnswer(url, Failure("no reply").c_str(), 0, body);
    DWORD status = 0;
    DWORD size = sizeof status;
    HttpQueryInfoA(request.handle, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                   nullptr);
    if (!body || maxBodyBytes == 0 || status != 200) return HttpAnswer(url, nullptr, status, body);
    // One read of at most maxBodyBytes: what it brings is the whole reply.
    std::vector<char> buffer(maxBodyBytes);
    DWORD got = 0;
    DWORD want = maxBodyBytes > MAXDWORD ? MAXDWORD : static_cast<DWORD>(maxBodyBytes);
    if (!InternetReadFile(request.handle, buffer.data(), want, &got)) {
        return HttpAnswer(url, Failure("the reply could not be read").c_str(), status, body);
    }
    // A reply cut short by the network is a failure; one cut short by our limit is not.
    DWORD promised = 0;
    size = sizeof promised;
    if (HttpQueryInfoA(request.handle, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER,
                       &promised, &size, nullptr) &&
        got < promised && got < want) {
        return HttpAnswer(url, "the reply was cut short", status, body);
    }
    body->assign(buffer.data(), got);
    return HttpAnswer(url, nullptr, status, body);
}

struct Request {
    const char* url;
    std::string* body;
    size_t maxBodyBytes;
    int result;
};

DWORD WINAPI RunRequest(void* context) {
    auto* request = static_cast<Request*>(context);
    request->result = Get(request->url, request->body, request->maxBodyBytes);
    return 0;
}

}  // namespace

int Win32HttpGet(const char* url, std::string* body, size_t maxBodyBytes) {
    if (body) body->clear();
    if (!url || !IsWebUrl(url)) return 0;
    Request request = {url, body, maxBodyBytes, 0};
    HANDLE thread = CreateThread(nullptr, 0, RunRequest, &request, 0, nullptr);
    if (!thread) return Get(url, body, maxBodyBytes);
    Win32WaitAnswering(thread, UINT64_MAX);
    CloseHandle(thread);
    return request.result;
}

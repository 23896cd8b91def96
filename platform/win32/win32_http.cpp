// One HTTP GET with WinINet, which follows redirects and the system's proxy settings. The
// request runs on a thread of its own while the game's thread waits for it with the window
// still answering (a request may take WinINet's time-outs, far longer than Windows lets a
// window ignore its queue).

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/win32_backend.h"
// After windows.h, which they need.
#include <wininet.h>

namespace {

constexpr DWORD kConnectTimeoutMs = 10000;
constexpr DWORD kRequestTimeoutMs = 30000;
constexpr DWORD kStatusOk = 200;

bool IsWebUrl(const char* url) {
    return std::strncmp(url, "http://", 7) == 0 || std::strncmp(url, "https://", 8) == 0;
}

// The URL without its query, which holds the player's details: what a reason may show.
std::string WithoutQuery(const char* url) {
    return std::string(url, std::strcspn(url, "?"));
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

// The request itself, on the calling thread.
int Get(const char* url, std::string* body, size_t maxBodyBytes) {
    InternetHandle session = {
        InternetOpenA(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0)};
    if (!session.handle) {
        PlatformSetLastError("WinINet could not start a request (error %lu)", GetLastError());
        return 0;
    }
    SetTimeout(session.handle, INTERNET_OPTION_CONNECT_TIMEOUT, kConnectTimeoutMs);
    SetTimeout(session.handle, INTERNET_OPTION_SEND_TIMEOUT, kRequestTimeoutMs);
    SetTimeout(session.handle, INTERNET_OPTION_RECEIVE_TIMEOUT, kRequestTimeoutMs);
    // Every request reaches the server: a score and a place are never answered from a cache.
    const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                        INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_UI;
    InternetHandle request = {InternetOpenUrlA(session.handle, url, nullptr, 0, flags, 0)};
    if (!request.handle) {
        PlatformSetLastError("%s: WinINet error %lu", WithoutQuery(url).c_str(), GetLastError());
        return 0;
    }
    // Only the server's own answer counts: a proxy asking for a password (407), a portal's
    // page, a redirect left over or a server error is no score recorded and no place.
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!HttpQueryInfoA(request.handle, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                        &size, nullptr) ||
        status != kStatusOk) {
        PlatformSetLastError("%s: HTTP status %lu", WithoutQuery(url).c_str(), status);
        return 0;
    }
    if (!body || maxBodyBytes == 0) return 1;
    // One read of at most maxBodyBytes: what it brings is the whole reply.
    std::vector<char> buffer(maxBodyBytes);
    DWORD got = 0;
    DWORD want = maxBodyBytes > MAXDWORD ? MAXDWORD : static_cast<DWORD>(maxBodyBytes);
    if (!InternetReadFile(request.handle, buffer.data(), want, &got)) return 0;
    // A reply cut short by the network is a failure; one cut short by our limit is not.
    DWORD promised = 0;
    size = sizeof promised;
    if (HttpQueryInfoA(request.handle, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER,
                       &promised, &size, nullptr) &&
        got < promised && got < want) {
        return 0;
    }
    body->assign(buffer.data(), got);
    return 1;
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

#include "tests/support/loopback_http.h"

#ifdef _WIN32
#include <winsock2.h>
namespace {
using SocketLength = int;
constexpr int kNoSignal = 0;
constexpr int kShutWrite = SD_SEND;
constexpr int kShutBoth = SD_BOTH;
void CloseSocket(SOCKET s) {
    closesocket(s);
}
}  // namespace
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
namespace {
using SOCKET = int;
using SocketLength = socklen_t;
constexpr SOCKET INVALID_SOCKET = -1;
constexpr int kNoSignal = MSG_NOSIGNAL;
constexpr int kShutWrite = SHUT_WR;
constexpr int kShutBoth = SHUT_RDWR;
void CloseSocket(SOCKET s) {
    close(s);
}
}  // namespace
#endif

#include <chrono>
#include <stdexcept>

std::string HttpReply(const std::string& status, const std::string& body) {
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

std::string HttpRedirect(const std::string& status, const std::string& location) {
    return "HTTP/1.1 " + status + "\r\nLocation: " + location +
           "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
}

LoopbackHttp::LoopbackHttp() {
#ifdef _WIN32
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("no Winsock");
#endif
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    SocketLength length = sizeof address;
    if (listener == INVALID_SOCKET ||
        bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 8) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("the loopback web server could not listen");
    }
    listener_ = static_cast<std::uintptr_t>(listener);
    port = ntohs(address.sin_port);
    thread_ = std::thread(&LoopbackHttp::Serve, this);
}

void LoopbackHttp::Answer(const std::string& path, const std::string& reply, int delayMs) {
    std::lock_guard<std::mutex> lock(mutex_);
    answers_[path] = {reply, delayMs};
}

std::string LoopbackHttp::Url(const std::string& target) const {
    return "http://127.0.0.1:" + std::to_string(port) + target;
}

std::vector<std::string> LoopbackHttp::RequestLines() {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
}

std::string LoopbackHttp::LastRequestLine() {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_.empty() ? "" : lines_.back();
}

void LoopbackHttp::WaitForRequests(size_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    requested_.wait(lock, [&] { return lines_.size() >= count; });
}

void LoopbackHttp::Stop() {
    if (!thread_.joinable()) return;
    SOCKET listener = static_cast<SOCKET>(listener_);
    shutdown(listener, kShutBoth);  // wakes accept() on Linux; closing it does on Windows
    CloseSocket(listener);
    thread_.join();
#ifdef _WIN32
    WSACleanup();
#endif
}

void LoopbackHttp::Serve() {
    for (;;) {
        SOCKET client = accept(static_cast<SOCKET>(listener_), nullptr, nullptr);
        if (client == INVALID_SOCKET) return;
        std::string request;
        char chunk[1024];
        while (request.find("\r\n\r\n") == std::string::npos) {
            int got = static_cast<int>(recv(client, chunk, sizeof chunk, 0));
            if (got <= 0) break;
            request.append(chunk, static_cast<size_t>(got));
        }
        const std::string line = request.substr(0, request.find("\r\n"));
        const size_t start = line.find(' ') + 1, end = line.find_first_of("? ", start);
        Canned answer = {HttpReply("404 Not Found", "no such page"), 0};
        {
            std::lock_guard<std::mutex> lock(mutex_);
            auto found = answers_.find(line.substr(start, end - start));
            if (found != answers_.end()) answer = found->second;
            lines_.push_back(line);
        }
        requested_.notify_all();
        std::this_thread::sleep_for(std::chrono::milliseconds(answer.delayMs));
        send(client, answer.reply.data(), static_cast<int>(answer.reply.size()), kNoSignal);
        shutdown(client, kShutWrite);
        // The client reads to the end before the connection goes.
        while (recv(client, chunk, sizeof chunk, 0) > 0) {
        }
        CloseSocket(client);
    }
}

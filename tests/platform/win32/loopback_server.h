// A small HTTP server on the loopback interface for the Windows tests: canned replies by request
// path, each after its own delay (a slow server), every request line kept in order.
#pragma once

#include <gtest/gtest.h>
#include <winsock2.h>

#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct LoopbackServer {
    SOCKET listener = INVALID_SOCKET;
    int port = 0;
    std::map<std::string, std::string> replies;  // request path -> raw reply
    std::map<std::string, DWORD> delaysMs;       // request path -> time before its reply
    std::mutex mutex;
    std::vector<std::string> requestLines;                            // under mutex
    HANDLE requested = CreateEventW(nullptr, FALSE, FALSE, nullptr);  // set at every request
    std::thread thread;
};

inline std::string Reply(const std::string& status, const std::string& body) {
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

inline void Serve(LoopbackServer* server) {
    for (;;) {
        SOCKET client = accept(server->listener, nullptr, nullptr);
        if (client == INVALID_SOCKET) return;
        std::string request;
        char chunk[1024];
        while (request.find("\r\n\r\n") == std::string::npos) {
            int got = recv(client, chunk, sizeof chunk, 0);
            if (got <= 0) break;
            request.append(chunk, static_cast<size_t>(got));
        }
        std::string line = request.substr(0, request.find("\r\n"));
        std::string path = line.size() > 4 ? line.substr(4, line.rfind(' ') - 4) : "";
        {
            std::lock_guard<std::mutex> lock(server->mutex);
            server->requestLines.push_back(line);
        }
        SetEvent(server->requested);
        auto delay = server->delaysMs.find(path);
        if (delay != server->delaysMs.end()) Sleep(delay->second);
        auto reply = server->replies.find(path);
        std::string answer =
            reply != server->replies.end() ? reply->second : Reply("404 Not Found", "no such page");
        send(client, answer.data(), static_cast<int>(answer.size()), 0);
        shutdown(client, SD_SEND);
        // Wait for the client to finish reading before the connection goes.
        while (recv(client, chunk, sizeof chunk, 0) > 0) {
        }
        closesocket(client);
    }
}

inline void Start(LoopbackServer& server) {
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    server.listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    ASSERT_NE(server.listener, INVALID_SOCKET);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(server.listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(server.listener, 8), 0);
    int length = sizeof address;
    getsockname(server.listener, reinterpret_cast<sockaddr*>(&address), &length);
    server.port = ntohs(address.sin_port);
    server.thread = std::thread(Serve, &server);
}

inline void Stop(LoopbackServer& server) {
    closesocket(server.listener);
    if (server.thread.joinable()) server.thread.join();
    CloseHandle(server.requested);
    WSACleanup();
}

inline std::string LastRequestLine(LoopbackServer& server) {
    std::lock_guard<std::mutex> lock(server.mutex);
    return server.requestLines.empty() ? "" : server.requestLines.back();
}

inline std::string Url(const LoopbackServer& server, const std::string& path) {
    return "http://127.0.0.1:" + std::to_string(server.port) + path;
}

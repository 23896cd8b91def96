// A web server on the loopback interface for the tests of the game's requests, on Linux and
// Windows alike: a canned raw reply for each path (the query aside), each after its own delay,
// every request line kept. One connection at a time, closed after each reply.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A whole reply with a body of its own length, the connection closed after it.
std::string HttpReply(const std::string& status, const std::string& body);
// A redirect to `location`, with no body.
std::string HttpRedirect(const std::string& status, const std::string& location);

class LoopbackHttp {
  public:
    // Listens on 127.0.0.1 at a port the system picks; a path with no reply gets a 404.
    LoopbackHttp();
    ~LoopbackHttp() { Stop(); }

    void Answer(const std::string& path, const std::string& reply, int delayMs = 0);
    // "http://127.0.0.1:<port>" followed by `target`.
    std::string Url(const std::string& target = "") const;
    std::vector<std::string> RequestLines();
    std::string LastRequestLine();  // "" before the first
    // Returns once `count` requests have arrived since the start.
    void WaitForRequests(size_t count);
    // Closes the port; nobody answers on it afterwards.
    void Stop();

    int port = 0;

  private:
    struct Canned {
        std::string reply;
        int delayMs;
    };
    void Serve();

    std::uintptr_t listener_;
    std::mutex mutex_;
    std::condition_variable requested_;
    std::map<std::string, Canned> answers_;  // under mutex_
    std::vector<std::string> lines_;         // under mutex_
    std::thread thread_;
};

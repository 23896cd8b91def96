#include "server/http.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <set>
#include <thread>
#include <unordered_map>

#include "server/access_log.h"
#include "server/rate_limit.h"
#include "server/recorder.h"
#include "server/routes.h"

namespace {

enum RecordState { kNotRecording, kRecording, kStored, kNotStored };

// One request, from its request line to the end of its reply.
struct Request {
    AccessLogEntry log;
    bool headersSeen = false;
    std::atomic<int> record{kNotRecording};
};

// One client connection, from its accepting to its closing. A request's head (its line and
// headers) must come whole by its deadline, however slowly it drips; then the connection is
// shut, and the library closes it.
struct Connection {
    int fd = -1;
    std::string key;  // counted under it, as the rate limits count addresses
    bool counted = false;
    bool headDone = false;
    std::chrono::steady_clock::time_point headDue;
};

// A connection may wait quietly for the idle time-out (the library closes it then); the first
// byte of a head is not seen here, so its deadline runs from the end of that wait.
std::chrono::steady_clock::time_point HeadDue() {
    return std::chrono::steady_clock::now() +
           std::chrono::seconds(kIdleTimeoutSeconds + kHeadDeadlineSeconds);
}

MHD_Daemon* g_daemon = nullptr;
bool g_trustProxy = false;
unsigned g_connectionsPerKey = 0;

std::mutex g_connectionLock;
std::condition_variable g_sweeperWakes;
bool g_sweeping = false;
std::set<Connection*> g_connections;
std::unordered_map<std::string, unsigned> g_connectionsByKey;
std::thread g_sweeper;

std::string AddressText(const sockaddr* address) {
    char text[INET6_ADDRSTRLEN] = "";
    if (!address) return "";
    if (address->sa_family == AF_INET) {
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text,
                  sizeof text);
    } else if (address->sa_family == AF_INET6) {
        const in6_addr& six = reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr;
        if (IN6_IS_ADDR_V4MAPPED(&six)) {
            inet_ntop(AF_INET, six.s6_addr + 12, text, sizeof text);
        } else {
            inet_ntop(AF_INET6, &six, text, sizeof text);
        }
    }
    return text;
}

bool IsLoopback(const sockaddr* address) {
    if (!address) return false;
    if (address->sa_family == AF_INET) {
        return (ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr) >> 24) == 127;
    }
    if (address->sa_family != AF_INET6) return false;
    const in6_addr& six = reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr;
    return IN6_IS_ADDR_LOOPBACK(&six) || (IN6_IS_ADDR_V4MAPPED(&six) && six.s6_addr[12] == 127);
}

const sockaddr* PeerAddress(MHD_Connection* connection) {
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    return info ? info->client_addr : nullptr;
}

Connection* ConnectionOf(MHD_Connection* connection) {
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
    return info ? static_cast<Connection*>(info->socket_context) : nullptr;
}

// A request's head has come whole (`done`), or a reply has gone and the next head is awaited.
void MarkHead(MHD_Connection* connection, bool done) {
    Connection* tracked = ConnectionOf(connection);
    if (!tracked) return;
    std::lock_guard<std::mutex> lock(g_connectionLock);
    tracked->headDone = done;
    tracked->headDue = HeadDue();
}

void NoteConnection(void*, MHD_Connection* connection, void** context,
                    MHD_ConnectionNotificationCode code) {
    std::lock_guard<std::mutex> lock(g_connectionLock);
    if (code == MHD_CONNECTION_NOTIFY_STARTED) {
        const MHD_ConnectionInfo* info =
            MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
        auto* tracked = new Connection;
        tracked->fd = info ? info->connect_fd : -1;
        tracked->key = RateLimitKey(AddressText(PeerAddress(connection)));
        tracked->headDue = HeadDue();
        unsigned& open = g_connectionsByKey[tracked->key];
        // One address, or one IPv6 /64, holds at most so many connections: the rest are shut
        // before anything is read from them.
        if (g_connectionsPerKey != 0 && open >= g_connectionsPerKey) {
            shutdown(tracked->fd, SHUT_RDWR);
        } else {
            ++open;
            tracked->counted = true;
        }
        g_connections.insert(tracked);
        *context = tracked;
        return;
    }
    // Called before the library closes the socket, so a socket in the set is always open.
    auto* tracked = static_cast<Connection*>(*context);
    if (!tracked) return;
    g_connections.erase(tracked);
    auto count = g_connectionsByKey.find(tracked->key);
    if (tracked->counted && count != g_connectionsByKey.end() && --count->second == 0) {
        g_connectionsByKey.erase(count);
    }
    delete tracked;
    *context = nullptr;
}

// Shuts every connection whose head is overdue, once a second.
void SweepLateHeads() {
    std::unique_lock<std::mutex> lock(g_connectionLock);
    while (g_sweeping) {
        g_sweeperWakes.wait_for(lock, std::chrono::seconds(1));
        const auto now = std::chrono::steady_clock::now();
        for (Connection* tracked : g_connections) {
            if (!tracked->headDone && tracked->headDue < now) {
                shutdown(tracked->fd, SHUT_RDWR);
            }
        }
    }
}

bool IsAddress(const std::string& text) {
    unsigned char bytes[16];
    return inet_pton(AF_INET, text.c_str(), bytes) == 1 ||
           inet_pton(AF_INET6, text.c_str(), bytes) == 1;
}

std::string Header(MHD_Connection* connection, const char* name) {
    const char* value = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, name);
    return value ? value : "";
}

// Behind a proxy the address is the one it reports: X-Real-IP, or else the last address of
// X-Forwarded-For (the one the proxy itself appended).
std::string ProxiedClient(MHD_Connection* connection, const std::string& peer) {
    std::string real = Header(connection, "X-Real-IP");
    if (IsAddress(real)) return real;
    std::string forwarded = Header(connection, "X-Forwarded-For");
    size_t comma = forwarded.rfind(',');
    std::string last = comma == std::string::npos ? forwarded : forwarded.substr(comma + 1);
    size_t start = last.find_first_not_of(' ');
    last = start == std::string::npos ? "" : last.substr(start);
    return IsAddress(last) ? last : peer;
}

MHD_Result Send(MHD_Connection* connection, Request* request, const Reply& reply) {
    // The response closes its own copy of a file's descriptor.
    int fileFd = reply.file ? dup(*reply.file) : -1;
    MHD_Response* response =
        reply.file
            ? (fileFd < 0 ? nullptr : MHD_create_response_from_fd64(reply.fileBytes, fileFd))
            : MHD_create_response_from_buffer(
                  reply.body.size(), const_cast<char*>(reply.body.data()), MHD_RESPMEM_MUST_COPY);
    if (!response && fileFd >= 0) close(fileFd);
    if (!response) return MHD_NO;
    MHD_add_response_header(response, "Content-Type", reply.contentType.c_str());
    MHD_add_response_header(response, "X-Content-Type-Options", "nosniff");
    for (const auto& [name, value] : PolicyHeaders(request->log.target)) {
        MHD_add_response_header(response, name.c_str(), value.c_str());
    }
    for (const auto& [name, value] : reply.headers) {
        MHD_add_response_header(response, name.c_str(), value.c_str());
    }
    MHD_Result queued =
        MHD_queue_response(connection, static_cast<unsigned>(reply.status), response);
    MHD_destroy_response(response);
    request->log.status = reply.status;
    request->log.bytes = request->log.method == "HEAD" ? 0
                         : reply.file                  ? reply.fileBytes
                                                       : reply.body.size();
    return queued;
}

void* StartRequest(void*, const char* uri, MHD_Connection* connection) {
    auto* request = new Request;
    request->log.target = uri ? uri : "";
    request->log.client = AddressText(PeerAddress(connection));
    return request;
}

void EndRequest(void*, MHD_Connection* connection, void** context, MHD_RequestTerminationCode) {
    MarkHead(connection, false);
    auto* request = static_cast<Request*>(*context);
    if (!request) return;
    // The log never ties an address to a score: a place is asked for only by the address that
    // sent the score, and the database forgets it once the place window has closed.
    if (IsScorePath(request->log.target.substr(0, request->log.target.find('?')))) {
        request->log.client.clear();
    }
    WriteAccessLog(request->log);
    delete request;
    *context = nullptr;
}

MHD_Result HandleRequest(void*, MHD_Connection* connection, const char*, const char* method,
                         const char* version, const char*, size_t* uploadSize, void** context) {
    auto* request = static_cast<Request*>(*context);
    if (!request) return MHD_NO;
    if (!request->headersSeen) {
        request->headersSeen = true;
        MarkHead(connection, true);
        request->log.method = method;
        request->log.version = version;
        request->log.referer = Header(connection, "Referer");
        request->log.userAgent = Header(connection, "User-Agent");
        // Only a proxy on this machine is believed, never a client that sets the headers itself.
        if (g_trustProxy && IsLoopback(PeerAddress(connection))) {
            request->log.client = ProxiedClient(connection, request->log.client);
        }
        // A body is refused before it is read.
        std::string length = Header(connection, "Content-Length");
        bool chunked = !Header(connection, "Transfer-Encoding").empty();
        bool tooLong = length.size() > 9 ||
                       length.find_first_not_of("0123456789") != std::string::npos ||
                       (!length.empty() && std::stoll(length) > kMaxBodyBytes);
        if (chunked || tooLong) {
            return Send(connection, request,
                        Refusal(413, "no page here takes a body of more than " +
                                         std::to_string(kMaxBodyBytes) + " bytes"));
        }
        return MHD_YES;
    }
    if (*uploadSize != 0) {
        *uploadSize = 0;
        return MHD_YES;
    }
    int record = request->record.load();
    if (record == kStored || record == kNotStored) {
        return Send(connection, request, RecordedReply(record == kStored));
    }

    Reply reply;
    Submission submission;
    const RequestHeaders headers{Header(connection, "Accept-Encoding"),
                                 Header(connection, "If-None-Match"),
                                 Header(connection, "Sec-Fetch-Site"), Header(connection, "Origin"),
                                 Header(connection, "Host")};
    if (!RouteRequest(request->log.method, request->log.target, request->log.client, &reply,
                      &submission, headers)) {
        return Send(connection, request, reply);
    }
    // The reply waits until the score is on the disk; meanwhile the connection is set aside
    // and the thread serves others.
    bool queued = QueueSubmission(
        NewSubmission{submission, request->log.client},
        [connection, request](bool stored) {
            request->record = stored ? kStored : kNotStored;
            MHD_resume_connection(connection);
        },
        [connection, request] {
            request->record = kRecording;
            MHD_suspend_connection(connection);
        });
    if (!queued) return Send(connection, request, Refusal(503, "the server is stopping"));
    return MHD_YES;
}

int Listen(const ServerOptions& options, int* port, std::string* error) {
    sockaddr_storage address{};
    socklen_t length = 0;
    auto* four = reinterpret_cast<sockaddr_in*>(&address);
    auto* six = reinterpret_cast<sockaddr_in6*>(&address);
    if (inet_pton(AF_INET, options.bind.c_str(), &four->sin_addr) == 1) {
        four->sin_family = AF_INET;
        four->sin_port = htons(static_cast<uint16_t>(options.port));
        length = sizeof *four;
    } else if (inet_pton(AF_INET6, options.bind.c_str(), &six->sin6_addr) == 1) {
        six->sin6_family = AF_INET6;
        six->sin6_port = htons(static_cast<uint16_t>(options.port));
        length = sizeof *six;
    } else {
        *error = "--bind needs a numeric IPv4 or IPv6 address";
        return -1;
    }
    int fd = socket(address.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int yes = 1;
    if (fd < 0 || setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) != 0 ||
        bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(fd, 1024) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        *error = std::strerror(errno);
        if (fd >= 0) close(fd);
        return -1;
    }
    *port = ntohs(address.ss_family == AF_INET ? four->sin_port : six->sin6_port);
    return fd;
}

}  // namespace

bool StartHttpServer(const ServerOptions& options, int* port, std::string* error) {
    int fd = Listen(options, port, error);
    if (fd < 0) return false;
    g_trustProxy = options.trustProxy;
    g_connectionsPerKey = static_cast<unsigned>(options.connectionsPerAddress);
    unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL | MHD_ALLOW_SUSPEND_RESUME;
    if (options.bind.find(':') != std::string::npos) flags |= MHD_USE_IPv6;
    g_daemon = MHD_start_daemon(
        flags, 0, nullptr, nullptr, &HandleRequest, nullptr, MHD_OPTION_LISTEN_SOCKET, fd,
        MHD_OPTION_THREAD_POOL_SIZE, static_cast<unsigned>(kWorkerThreads),
        MHD_OPTION_CONNECTION_LIMIT, kMaxConnections, MHD_OPTION_NOTIFY_CONNECTION, &NoteConnection,
        nullptr, MHD_OPTION_CONNECTION_TIMEOUT, kIdleTimeoutSeconds,
        MHD_OPTION_CONNECTION_MEMORY_LIMIT, kConnectionMemoryBytes, MHD_OPTION_URI_LOG_CALLBACK,
        &StartRequest, nullptr, MHD_OPTION_NOTIFY_COMPLETED, &EndRequest, nullptr, MHD_OPTION_END);
    if (!g_daemon) {
        close(fd);
        *error = "the HTTP server did not start";
        return false;
    }
    g_sweeping = true;
    g_sweeper = std::thread(SweepLateHeads);
    return true;
}

void StopHttpServer() {
    if (!g_daemon) return;
    {
        std::lock_guard<std::mutex> lock(g_connectionLock);
        g_sweeping = false;
        g_sweeperWakes.notify_one();
    }
    g_sweeper.join();
    MHD_stop_daemon(g_daemon);
    g_daemon = nullptr;
}

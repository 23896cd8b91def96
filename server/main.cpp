// tapdash-scores: the score server the game sends its scores to.
#include <httplib.h>
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "server/options.h"
#include "server/routes.h"
#include "server/store.h"

int main(int argc, char** argv) {
    ServerOptions options;
    std::string error;
    if (!ParseServerOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "tapdash-scores: %s\n%s", error.c_str(), kServerUsage);
        return 2;
    }

    // SIGINT and SIGTERM are taken by one waiting thread instead of a handler, so that stopping
    // the server happens outside signal context. Blocked before any thread starts, so every
    // thread inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    if (!OpenScoreStore(options.db, &error)) {
        std::fprintf(stderr, "tapdash-scores: cannot open %s: %s\n", options.db.c_str(),
                     error.c_str());
        CloseScoreStore();
        return 1;
    }

    httplib::Server server;
    AddScoreRoutes(server);
    int port = options.port;
    bool bound = port == 0 ? (port = server.bind_to_any_port(options.bind)) > 0
                           : server.bind_to_port(options.bind, port);
    if (!bound) {
        std::fprintf(stderr, "tapdash-scores: cannot listen on %s:%d\n", options.bind.c_str(),
                     options.port);
        CloseScoreStore();
        return 1;
    }

    // A signal may come before the server has started listening, when stop() would do nothing:
    // the waiter keeps asking until the listening loop has ended.
    std::atomic<bool> listenEnded{false};
    std::thread signalWaiter([&] {
        int signalNumber = 0;
        sigwait(&stopSignals, &signalNumber);
        while (!listenEnded.load()) {
            server.stop();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });

    std::printf("tapdash-scores: listening on http://%s:%d/tapdash/ with %s (%lld scores)\n",
                options.bind.c_str(), port, options.db.c_str(), CountSubmissions());
    std::fflush(stdout);
    server.listen_after_bind();
    listenEnded = true;

    // Wake the waiter when the server ended for another reason than a signal.
    pthread_kill(signalWaiter.native_handle(), SIGTERM);
    signalWaiter.join();
    CloseScoreStore();
    std::printf("tapdash-scores: stopped\n");
    return 0;
}

// tapdash-scores: the score server the game sends its scores to.
#include <signal.h>

#include <cstdio>
#include <cstring>

#include "server/http.h"
#include "server/moderation.h"
#include "server/options.h"
#include "server/rate_limit.h"
#include "server/recorder.h"
#include "server/store.h"
#include "server/web_files.h"
#include "tapdash_version.h"

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("tapdash-scores %s\n", TAPDASH_VERSION);
        return 0;
    }
    ServerOptions options;
    std::string error;
    if (!ParseServerOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "tapdash-scores: %s\n%s", error.c_str(), kServerUsage);
        return 2;
    }
    if (options.command == "list")
        return ListBestSubmissions(options.db, options.listCount, stdout, stderr);
    if (options.command == "remove")
        return RemoveSubmission(options.db, options.removeId, stdout, stderr);
    if (options.command == "backup")
        return BackupScores(options.db, options.backupFile, stdout, stderr);
    g_rateLimitsOn = options.rateLimits;
    g_webFolder = options.web;

    // SIGINT and SIGTERM are taken by waiting for them here instead of by a handler, so that
    // stopping happens outside signal context. Blocked before any thread starts, so every
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
    StartRecorder();
    int port = 0;
    if (!StartHttpServer(options, &port, &error)) {
        std::fprintf(stderr, "tapdash-scores: cannot listen on %s:%d: %s\n", options.bind.c_str(),
                     options.port, error.c_str());
        StopRecorder();
        CloseScoreStore();
        return 1;
    }

    bool six = options.bind.find(':') != std::string::npos;
    std::printf(
        "tapdash-scores: listening on http://%s%s%s:%d/tapdash/ with %s (%lld scores)%s%s\n",
        six ? "[" : "", options.bind.c_str(), six ? "]" : "", port, options.db.c_str(),
        CountSubmissions(), options.rateLimits ? "" : ", rate limits off",
        options.trustProxy ? ", client addresses from the proxy" : "");
    std::fflush(stdout);

    int signalNumber = 0;
    sigwait(&stopSignals, &signalNumber);
    // Scores already queued are written and answered before the connections close.
    StopRecorder();
    StopHttpServer();
    CloseScoreStore();
    std::printf("tapdash-scores: stopped\n");
    return 0;
}

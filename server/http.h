// The HTTP side of the score server, on libmicrohttpd: an event loop on a few threads, so that
// slow or idle connections hold no thread, with bounded memory for each connection.
#pragma once

#include <string>

#include "server/options.h"

// Limits every client meets.
constexpr int kWorkerThreads = 2;
constexpr unsigned kMaxConnections = 1000;
// Request line and headers must fit in this (a longer one is refused with 414 or 431).
constexpr size_t kConnectionMemoryBytes = 8 * 1024;
constexpr unsigned kIdleTimeoutSeconds = 10;
// A request's line and headers must all have come within this once a connection's quiet wait
// (the idle time-out) is over, however steadily they drip.
constexpr int kHeadDeadlineSeconds = 10;
// No page takes a body; a small one is read and ignored, a larger one refused with 413.
constexpr long long kMaxBodyBytes = 4096;

// Listens as the options say and serves until StopHttpServer. False with the reason in `error`
// when it cannot listen; `port` is the port it listens on.
bool StartHttpServer(const ServerOptions& options, int* port, std::string* error);
void StopHttpServer();

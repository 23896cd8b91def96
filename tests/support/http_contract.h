// What each backend's HTTP GET promises the score request, as one table of cases against the
// loopback web server: only a 200 is an answer, its body cut to the caller's limit; anything
// else is no answer and an empty body, with a reason that never shows the query (it holds the
// player's details).
#pragma once

#include <cstddef>
#include <string>

using HttpGet = int (*)(const char* url, std::string* body, size_t maxBodyBytes);

// Runs every case against `get`, with gtest's EXPECTs.
void CheckHttpContract(HttpGet get);

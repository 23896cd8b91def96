// The recorder: one thread that writes queued submissions to the database, as many as are
// waiting in one transaction, so that many scores share one wait for the disk.
#pragma once

#include <functional>

#include "server/store.h"

// `stored` is true once the submission is on the disk. Called on the recorder's thread.
using RecordedCallback = std::function<void(bool stored)>;

void StartRecorder();
// Queues the submission and runs `whileQueuing` in the same step, before the recorder can take
// it. False, with nothing queued or run, once the recorder is stopping.
bool QueueSubmission(NewSubmission submission, RecordedCallback recorded,
                     const std::function<void()>& whileQueuing);
// Refuses new submissions, records those already queued, and ends the thread.
void StopRecorder();

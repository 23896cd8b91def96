#include "server/recorder.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

struct Queued {
    NewSubmission submission;
    RecordedCallback recorded;
};

std::mutex g_queueLock;
std::condition_variable g_queueChanged;
std::vector<Queued> g_queue;
bool g_accepting = false;
std::thread g_recorderThread;

void RecorderLoop() {
    int64_t lastForgetMs = 0;
    std::vector<Queued> batch;
    std::vector<NewSubmission> rows;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(g_queueLock);
            g_queueChanged.wait_for(lock, std::chrono::seconds(30),
                                    [] { return !g_queue.empty() || !g_accepting; });
            if (g_queue.empty() && !g_accepting) return;
            batch.swap(g_queue);
        }
        if (!batch.empty()) {
            rows.clear();
            for (const Queued& item : batch) rows.push_back(item.submission);
            bool stored = RecordSubmissions(rows);
            for (Queued& item : batch) item.recorded(stored);
            batch.clear();
        }
        int64_t now = NowMs();
        if (now - lastForgetMs >= kPlaceWindowMs / 2) {
            ForgetClientAddresses(now - kPlaceWindowMs);
            lastForgetMs = now;
        }
    }
}

}  // namespace

void StartRecorder() {
    std::lock_guard<std::mutex> lock(g_queueLock);
    g_accepting = true;
    g_recorderThread = std::thread(RecorderLoop);
}

bool QueueSubmission(NewSubmission submission, RecordedCallback recorded,
                     const std::function<void()>& whileQueuing) {
    std::lock_guard<std::mutex> lock(g_queueLock);
    if (!g_accepting) return false;
    whileQueuing();
    g_queue.push_back({std::move(submission), std::move(recorded)});
    g_queueChanged.notify_one();
    return true;
}

void StopRecorder() {
    {
        std::lock_guard<std::mutex> lock(g_queueLock);
        g_accepting = false;
        g_queueChanged.notify_one();
    }
    if (g_recorderThread.joinable()) g_recorderThread.join();
}

// A game killed at any moment while it records a score must never cost the player the list.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <set>

#include "game/state.h"
#include "storage/best_scores.h"
#include "tests/storage/best_files.h"

namespace {

// The most updates a child makes before it waits for its kill: enough that the kill can land in
// any of the first ones, few enough that 300 children on a fast machine stay below the highest
// score best.dat stores.
constexpr int kUpdatesPerChild = 8;

// Says it is ready, then records rising scores one after the other and tells the parent of
// each one that is done.
[[noreturn]] void RecordScoresUntilKilled(int firstScore, int doneFd) {
    const int ready = 0;
    if (write(doneFd, &ready, sizeof ready) != sizeof ready) _exit(1);
    for (int score = firstScore; score < firstScore + kUpdatesPerChild * 100; score += 100) {
        g_score = score;
        UpdateBestScores(g_score);
        if (write(doneFd, &score, sizeof score) != sizeof score) _exit(1);
    }
    for (;;) pause();
}

std::vector<int> ReportedScores(int fd) {
    std::vector<int> scores;
    int score;
    while (read(fd, &score, sizeof score) == sizeof score) scores.push_back(score);
    return scores;
}

// The ten highest of the scores, highest first.
std::vector<int> TopTen(const std::set<int>& scores) {
    std::vector<int> top(scores.rbegin(), scores.rend());
    if (top.size() > 10) top.resize(10);
    return top;
}

// How long recording one score takes here (it waits for the disk), in microseconds.
int MicrosecondsPerUpdate() {
    ProgramFolder folder;
    WriteFileBytes(folder.Best(), "");
    auto start = std::chrono::steady_clock::now();
    for (int score = 100; score <= 500; score += 100) {
        g_score = score;
        UpdateBestScores(g_score);
    }
    auto spent = std::chrono::steady_clock::now() - start;
    return static_cast<int>(std::chrono::duration_cast<std::chrono::microseconds>(spent).count() /
                            5);
}

TEST(BestScoresCrash, AGameKilledWhileRecordingNeverLosesACompletedScore) {
    // Each child is let finish 0 to 2 updates, then killed anywhere within the next one or two,
    // however slowly a busy machine lets it run.
    const int longestWaitUs = 500 + MicrosecondsPerUpdate() * 3 / 2;
    ProgramFolder folder;
    WriteFileBytes(folder.Best(), "");
    std::mt19937 random(99);
    std::set<int> recorded = {0};  // an empty list reads as one entry of 0
    int nextScore = 100;
    int completedUpdates = 0;

    for (int kill = 0; kill < 300; ++kill) {
        int done[2];
        ASSERT_EQ(pipe(done), 0);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(done[0]);
            RecordScoresUntilKilled(nextScore, done[1]);
        }
        close(done[1]);
        int ready = -1;
        ASSERT_EQ(read(done[0], &ready, sizeof ready), static_cast<ssize_t>(sizeof ready));
        std::vector<int> completed;
        for (int wait = std::uniform_int_distribution<int>(0, 2)(random); wait > 0; --wait) {
            int score = 0;
            ASSERT_EQ(read(done[0], &score, sizeof score), static_cast<ssize_t>(sizeof score));
            completed.push_back(score);
        }
        usleep(std::uniform_int_distribution<int>(0, longestWaitUs)(random));
        ::kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        for (int score : ReportedScores(done[0])) completed.push_back(score);
        close(done[0]);
        completedUpdates += static_cast<int>(completed.size());
        recorded.insert(completed.begin(), completed.end());

        ASSERT_EQ(ReadBestScores(), 1) << "after kill " << kill;
        std::vector<int> list(g_bestScores, g_bestScores + g_bestLastIndex + 1);
        // The update under way when the kill came may have landed too.
        const int pending = completed.empty() ? nextScore : completed.back() + 100;
        ASSERT_LT(pending, kBestHighestStoredScore);
        std::set<int> withPending = recorded;
        withPending.insert(pending);
        ASSERT_TRUE(list == TopTen(recorded) || list == TopTen(withPending))
            << "after kill " << kill << " the list starts with " << list.front() << " of "
            << list.size();
        recorded.insert(list.begin(), list.end());
        nextScore = *recorded.rbegin() + 100;
    }
    EXPECT_GE(completedUpdates, 250) << "the recording child hardly ever got to record a score";
}

}  // namespace

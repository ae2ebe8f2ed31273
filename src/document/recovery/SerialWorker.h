#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

// Runs jobs one after another, in the order they were handed over, on a thread of its own that
// lives only while there is work. A job handed over under a key takes the place of a job of the
// same key still waiting: only the latest word on a thing is worth the work.
class CSerialWorker {
public:
    CSerialWorker() = default;
    CSerialWorker(const CSerialWorker&) = delete;
    CSerialWorker& operator=(const CSerialWorker&) = delete;
    // Waits for the jobs handed over.
    ~CSerialWorker();

    void Post(const std::string& key, std::function<void()> job);
    // Returns once every job handed over so far has run.
    void WaitUntilIdle();

private:
    struct Job {
        std::string key;
        std::function<void()> run;
    };

    // Starts the thread when there is work and none runs; called with the lock held.
    void StartIfNeeded();
    void Drain();

    std::mutex guard;
    std::condition_variable idle;
    std::deque<Job> waiting;
    bool running = false;
    // The process the thread was started in: a forked child has no thread of its parent's.
    long runningIn = 0;
};

#include "SerialWorker.h"

#include <unistd.h>

#include <algorithm>
#include <thread>

CSerialWorker::~CSerialWorker() {
    WaitUntilIdle();
}

void CSerialWorker::Post(const std::string& key, std::function<void()> job) {
    std::lock_guard<std::mutex> lock(guard);
    waiting.erase(std::remove_if(waiting.begin(), waiting.end(),
                                 [&](const Job& other) { return other.key == key; }),
                  waiting.end());
    waiting.push_back(Job{key, std::move(job)});
    StartIfNeeded();
}

void CSerialWorker::StartIfNeeded() {
    long process = static_cast<long>(::getpid());
    // A forked child has no thread of its parent's.
    if (running && runningIn == process)
        return;
    running = false;
    if (waiting.empty())
        return;
    running = true;
    runningIn = process;
    // Detached, never joined: the thread touches nothing of this object once it has said that
    // it is done, under the lock the destructor must take first.
    std::thread([this] { Drain(); }).detach();
}

void CSerialWorker::Drain() {
    for (;;) {
        Job job;
        {
            std::lock_guard<std::mutex> lock(guard);
            if (waiting.empty()) {
                running = false;
                idle.notify_all();
                return;
            }
            job = std::move(waiting.front());
            waiting.pop_front();
        }
        job.run();
    }
}

void CSerialWorker::WaitUntilIdle() {
    std::unique_lock<std::mutex> lock(guard);
    StartIfNeeded();
    idle.wait(lock, [this] { return !running && waiting.empty(); });
}

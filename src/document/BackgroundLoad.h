#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "CorvelTextBuffer.h"
#include "TextEncoding.h"

// The whole of a large file read by a thread of its own, while the window shows its first
// screen and stays live. What the thread finds is handed over on the window's thread: how far it
// has come now and then, and at the end the loaded text with the encoding its lines vote for, or
// the error that stopped it. Destroying the load stops the thread and waits for it; nothing is
// handed over afterwards.
class CBackgroundLoad {
public:
    using Progress = std::function<void(double share)>;
    using Done = std::function<void(std::unique_ptr<CCorvelTextBuffer> text, TextEncoding encoding)>;
    using Failed = std::function<void(int error)>;

    CBackgroundLoad(std::string path, Progress progress, Done done, Failed failed);
    ~CBackgroundLoad();
    CBackgroundLoad(const CBackgroundLoad&) = delete;
    CBackgroundLoad& operator=(const CBackgroundLoad&) = delete;

    bool Finished() const { return finished; }

private:
    std::shared_ptr<std::atomic<bool>> stop = std::make_shared<std::atomic<bool>>(false);
    // Receives what the thread hands over; with it go the deliveries still on their way.
    QObject receiver;
    bool finished = false;
    std::thread reader;
};

#include "BackgroundLoad.h"

#include <QMetaObject>
#include <chrono>
#include <filesystem>

#include "EncodingDetection.h"

namespace {

// Progress is handed over at most this often.
constexpr auto kProgressInterval = std::chrono::milliseconds(100);

}  // namespace

CBackgroundLoad::CBackgroundLoad(std::string path, Progress progress, Done done, Failed failed) {
    auto handOver = [this, stopped = stop](std::function<void()> action) {
        QMetaObject::invokeMethod(
            &receiver,
            [stopped, action = std::move(action)] {
                if (!stopped->load())
                    action();
            },
            Qt::QueuedConnection);
    };
    reader = std::thread([this, path = std::move(path), progress = std::move(progress),
                          done = std::move(done), failed = std::move(failed), handOver,
                          stopped = stop] {
        std::error_code error;
        const std::uint64_t size = std::filesystem::file_size(path, error);
        auto text = std::make_unique<CCorvelTextBuffer>();
        auto last = std::chrono::steady_clock::now();
        const bool loaded = text->LoadFile(
            path.c_str(), LineEndingStyle::Detect, [&](std::uint64_t read) {
                if (stopped->load())
                    return false;
                const auto now = std::chrono::steady_clock::now();
                if (now - last >= kProgressInterval && size > 0) {
                    last = now;
                    const double share = static_cast<double>(read) / static_cast<double>(size);
                    handOver([progress, share] { progress(share); });
                }
                return true;
            });
        if (stopped->load())
            return;
        if (!loaded) {
            const int error = text->LastFileError();
            handOver([this, failed, error] {
                finished = true;
                failed(error);
            });
            return;
        }
        // The encoding is worked out here too: a pass over gigabytes would hold up the window.
        const TextEncoding encoding = DetectEncoding(*text);
        auto shared = std::make_shared<std::unique_ptr<CCorvelTextBuffer>>(std::move(text));
        handOver([this, done, shared, encoding] {
            finished = true;
            done(std::move(*shared), encoding);
        });
    });
}

CBackgroundLoad::~CBackgroundLoad() {
    stop->store(true);
    if (reader.joinable())
        reader.join();
}

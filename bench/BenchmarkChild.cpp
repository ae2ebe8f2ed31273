#include "BenchmarkChild.h"
#include "ProcessStatus.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>

namespace BenchmarkChild {

namespace {

// The child writes its figures here; its standard output stays free for whatever Qt prints.
constexpr int kFiguresDescriptor = 3;
constexpr const char* kChildOption = "--benchmark-child";

std::map<std::string, Work>& Registry() {
    static std::map<std::string, Work> works;
    return works;
}

long PeakKilobytesOf(pid_t process) {
    return StatusKilobytes(("/proc/" + std::to_string(process) + "/status").c_str(), "VmHWM:");
}

}  // namespace

bool Register(const char* name, Work work) {
    Registry()[name] = std::move(work);
    return true;
}

bool RunIfAsked(int argc, char** argv) {
    if (argc != 4 || std::strcmp(argv[1], kChildOption) != 0)
        return false;
    auto found = Registry().find(argv[2]);
    if (found == Registry().end())
        _exit(2);
    found->second(argv[3], [](long figure) {
        if (::write(kFiguresDescriptor, &figure, sizeof figure) != sizeof figure)
            _exit(1);
    });
    return true;
}

Figures Run(const char* name, const std::string& argument, int count, int deadlineMs) {
    int channel[2];
    if (::pipe(channel) != 0)
        std::abort();
    // Everything the child needs is made before the fork: after it, only exec.
    std::string self(4096, '\0');
    ssize_t length = ::readlink("/proc/self/exe", self.data(), self.size() - 1);
    if (length <= 0)
        std::abort();
    self.resize(static_cast<std::size_t>(length));
    std::string nameCopy = name;
    std::string option = kChildOption;
    char* arguments[] = {self.data(), option.data(), nameCopy.data(),
                         const_cast<char*>(argument.c_str()), nullptr};
    pid_t child = ::fork();
    if (child == 0) {
        ::dup2(channel[1], kFiguresDescriptor);
        ::execv(self.c_str(), arguments);
        _exit(127);
    }
    ::close(channel[1]);

    using Clock = std::chrono::steady_clock;
    Figures result;
    std::optional<Clock::time_point> deadline;
    while (static_cast<int>(result.figures.size()) < count) {
        int waitMs = -1;  // the set-up has no deadline
        if (deadline) {
            auto left = std::max(*deadline - Clock::now(), Clock::duration::zero());
            waitMs = static_cast<int>(
                std::chrono::duration_cast<std::chrono::milliseconds>(left).count());
        }
        pollfd ready{channel[0], POLLIN, 0};
        long figure = 0;
        if (::poll(&ready, 1, waitMs) != 1 ||
            ::read(channel[0], &figure, sizeof figure) != sizeof figure)
            break;
        if (!deadline)
            deadline = Clock::now() + std::chrono::milliseconds(deadlineMs);
        result.figures.push_back(figure);
    }
    result.finished = static_cast<int>(result.figures.size()) == count;
    if (!result.finished) {
        result.peakKib = PeakKilobytesOf(child);
        ::kill(child, SIGKILL);
    }
    ::waitpid(child, nullptr, 0);
    ::close(channel[0]);
    return result;
}

}  // namespace BenchmarkChild

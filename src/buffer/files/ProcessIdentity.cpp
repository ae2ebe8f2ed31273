#include "ProcessIdentity.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace {

bool AllDigits(const std::string& text) {
    if (text.empty())
        return false;
    for (char character : text) {
        if (character < '0' || character > '9')
            return false;
    }
    return true;
}

std::string ReadSmallFile(const std::string& path) {
    int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return std::string();
    std::string text;
    char chunk[1024];
    for (;;) {
        ssize_t count = ::read(descriptor, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        text.append(chunk, static_cast<std::size_t>(count));
    }
    ::close(descriptor);
    return text;
}

}  // namespace

std::string ProcessStartTime(long pid) {
    if (pid <= 0)
        return std::string();
    std::string line = ReadSmallFile("/proc/" + std::to_string(pid) + "/stat");
    // The command name in parentheses may hold spaces and parentheses itself.
    std::string::size_type end = line.rfind(')');
    if (end == std::string::npos || end + 2 > line.size())
        return std::string();
    std::vector<std::string> fields;
    std::string::size_type start = end + 2;
    while (start <= line.size()) {
        std::string::size_type space = line.find(' ', start);
        if (space == std::string::npos)
            space = line.size();
        fields.push_back(line.substr(start, space - start));
        start = space + 1;
    }
    // A process that has ended but was not yet reaped by its parent runs no more.
    if (fields.empty() || fields[0] == "Z" || fields[0] == "X")
        return std::string();
    // Field 22 of the line; the fields after the name start with field 3.
    constexpr std::size_t kStartTime = 22 - 3;
    if (fields.size() <= kStartTime)
        return std::string();
    std::string startTime = fields[kStartTime];
    while (!startTime.empty() && (startTime.back() == '\n' || startTime.back() == '\r'))
        startTime.pop_back();
    return startTime;
}

std::string OwnProcessTag() {
    static std::mutex guard;
    std::lock_guard<std::mutex> lock(guard);
    static long cachedPid = -1;
    static std::string cachedTag;
    long pid = static_cast<long>(::getpid());
    if (pid != cachedPid) {
        cachedTag = std::to_string(pid) + "-" + ProcessStartTime(pid);
        cachedPid = pid;
    }
    return cachedTag;
}

bool ProcessOfTagRuns(const std::string& tag) {
    std::string::size_type dash = tag.find('-');
    if (dash == std::string::npos)
        return false;
    std::string pid = tag.substr(0, dash);
    std::string startTime = tag.substr(dash + 1);
    if (!AllDigits(pid) || !AllDigits(startTime) || pid.size() > 18)
        return false;
    return ProcessStartTime(std::strtol(pid.c_str(), nullptr, 10)) == startTime;
}

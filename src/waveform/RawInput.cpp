#include "RawInput.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

constexpr std::size_t kChunk = 1 << 20;
// No header line is this long: a file without line breaks is no raw file, and is not read into
// memory whole to find one.
constexpr std::size_t kLongestLine = 1 << 20;

bool IsSpace(char character) {
    return character == ' ' || character == '\t' || character == '\n' || character == '\r' ||
           character == '\f' || character == '\v';
}

}  // namespace

CRawInput::CRawInput(std::string_view bytes)
    : window(bytes.data()), end(bytes.size()), size(bytes.size()), ended(true) {}

CRawInput::CRawInput(int descriptor, std::uint64_t size)
    : descriptor(descriptor), storage(kChunk), window(storage.data()), size(size) {}

std::size_t CRawInput::Ensure(std::size_t count) {
    if (end - begin < count && !ended)
        Refill(count);
    return std::min(count, end - begin);
}

bool CRawInput::Refill(std::size_t wanted) {
    // What lies ahead moves to the front, and the rest of the storage is filled from the file.
    const std::size_t ahead = end - begin;
    consumedBefore += begin;
    if (ahead > 0 && begin > 0)
        std::memmove(storage.data(), storage.data() + begin, ahead);
    begin = 0;
    end = ahead;
    if (storage.size() < std::max(wanted, kChunk))
        storage.resize(std::max(wanted, 2 * storage.size()));
    window = storage.data();
    while (end < wanted || end < kChunk / 2) {
        ssize_t count = ::read(descriptor, storage.data() + end, storage.size() - end);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            failed = count < 0;
            ended = true;
            break;
        }
        end += static_cast<std::size_t>(count);
    }
    return end >= wanted;
}

bool CRawInput::NextLine(std::string_view& text) {
    std::size_t scanned = 0;
    for (;;) {
        const char* from = Ahead() + scanned;
        const void* found = std::memchr(from, '\n', AheadSize() - scanned);
        if (found != nullptr) {
            std::size_t length = static_cast<const char*>(found) - Ahead();
            text = std::string_view(Ahead(), length);
            Skip(length + 1);
            ++line;
            break;
        }
        scanned = AheadSize();
        if (scanned >= kLongestLine) {
            lineTooLong = true;
            return false;
        }
        if (Ensure(scanned + 1) <= scanned) {
            if (scanned == 0)
                return false;
            text = std::string_view(Ahead(), scanned);  // the last line has no break
            Skip(scanned);
            break;
        }
    }
    if (!text.empty() && text.back() == '\r')
        text.remove_suffix(1);
    return true;
}

void CRawInput::SkipSpace() {
    for (;;) {
        while (begin < end && IsSpace(window[begin])) {
            if (window[begin] == '\n')
                ++line;
            ++begin;
        }
        if (begin < end || Ensure(1) == 0)
            break;
    }
}

std::string_view CRawInput::NextToken() {
    SkipSpace();
    std::size_t length = 0;
    for (;;) {
        while (begin + length < end && !IsSpace(window[begin + length]))
            ++length;
        if (begin + length < end || Ensure(length + 1) <= length)
            break;
    }
    // The loop above stops at the white space after the token, or at the end of the input.
    tokenAtEnd = length > 0 && begin + length >= end;
    std::string_view token(Ahead(), length);
    Skip(length);
    return token;
}

bool CRawInput::AtHeader() {
    SkipSpace();
    for (std::string_view start : {std::string_view("Title:"), std::string_view("Plotname:")}) {
        if (Ensure(start.size()) < start.size())
            continue;
        bool same = true;
        for (std::size_t index = 0; index < start.size() && same; ++index)
            same = std::tolower(static_cast<unsigned char>(Ahead()[index])) ==
                   std::tolower(static_cast<unsigned char>(start[index]));
        if (same)
            return true;
    }
    return false;
}

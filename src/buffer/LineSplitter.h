#pragma once

#include <cstddef>
#include <cstring>
#include <string>

// Splits a file read chunk by chunk into lines at one line break of one or two bytes, handing
// each line to addLine(characters, count). The break is matched byte by byte: with CR LF, a CR
// followed by anything but LF stays in the line, and so does the byte after it, which is not
// tried as the start of a new break ("a CR CR LF b" is one line). A NUL cuts its line there.
template <typename AddLine>
class CLineSplitter {
public:
    CLineSplitter(const char* lineBreak, std::size_t longest, AddLine addLine)
        : lineBreak(lineBreak),
          breakLength(std::strlen(lineBreak)),
          longest(longest),
          addLine(addLine) {}

    // The lines the chunk ends; what follows the last break waits for the next chunk. False
    // when a line is longer than a line can hold: the load fails rather than cut it short.
    bool Split(const char* bytes, long size) {
        chunkHasNul = std::memchr(bytes, '\0', size) != nullptr;
        long position = 0;
        long lineStart = 0;
        if (breakStarted) {
            // The chunk before ended in a CR: this one's first byte completes the break or is
            // kept.
            breakStarted = false;
            position = 1;
            if (bytes[0] == lineBreak[1]) {
                gathered.pop_back();
                Add(bytes, 0);
                lineStart = 1;
            }
        }
        const char first = lineBreak[0];
        for (;;) {
            const void* found = std::memchr(bytes + position, first, size - position);
            if (found == nullptr)
                break;
            long at = static_cast<const char*>(found) - bytes;
            if (breakLength == 1) {
                Add(bytes + lineStart, at - lineStart);
                position = lineStart = at + 1;
                continue;
            }
            if (at + 1 == size) {
                breakStarted = true;
                break;
            }
            if (bytes[at + 1] == lineBreak[1]) {
                Add(bytes + lineStart, at - lineStart);
                position = lineStart = at + 2;
            } else {
                position = at + 2;  // the byte after the CR is not a new start
            }
        }
        if (tooLong)
            return false;
        gathered.append(bytes + lineStart, size - lineStart);
        return gathered.size() <= longest;
    }

    // The last line, which no break ends.
    void Finish() {
        addLine(gathered.data(), KeptLength(gathered.data(), gathered.size()));
        gathered.clear();
    }

    // Whether a NUL cut a line.
    bool CutAtNul() const { return cutAtNul; }

private:
    int KeptLength(const char* characters, std::size_t count) {
        const void* nul = std::memchr(characters, '\0', count);
        if (nul == nullptr)
            return static_cast<int>(count);
        cutAtNul = true;
        return static_cast<int>(static_cast<const char*>(nul) - characters);
    }

    // Almost every line lies inside its chunk, which holds no NUL: that case is kept short
    // enough to be inlined into the loop of Split.
    void Add(const char* characters, std::size_t count) {
        if (gathered.empty() && !chunkHasNul) [[likely]]
            addLine(characters, static_cast<int>(count));
        else
            AddGathered(characters, count);
    }

    // A line that began in an earlier chunk, or lies in one holding a NUL.
    void AddGathered(const char* characters, std::size_t count) {
        if (gathered.size() + count > longest) {
            tooLong = true;
            return;
        }
        if (gathered.empty()) {
            addLine(characters, chunkHasNul ? KeptLength(characters, count)
                                            : static_cast<int>(count));
        } else {
            gathered.append(characters, count);
            addLine(gathered.data(), KeptLength(gathered.data(), gathered.size()));
            gathered.clear();
        }
    }

    const char* lineBreak;
    std::size_t breakLength;
    std::size_t longest;
    AddLine addLine;
    // Bytes of a line that began in an earlier chunk, and whether they end in the first byte of
    // a two-byte break.
    std::string gathered;
    bool breakStarted = false;
    bool tooLong = false;
    bool cutAtNul = false;
    // Only the lines of a chunk with a NUL in it are searched for one.
    bool chunkHasNul = false;
};

#pragma once

#include <QString>

#include <cstdint>

class CSampleDoc;

// What a file on disk was like when a document last read or wrote it: enough to tell that
// another program has replaced, rewritten or removed it since.
struct SFileStamp {
    bool exists = false;
    std::int64_t modifiedNanoseconds = 0;
    std::int64_t size = 0;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool operator==(const SFileStamp&) const = default;
};

// The stamp of the file at the path now (through symbolic links).
SFileStamp StampOfFile(const QString& path);

// Reads the document's file again into its buffer, unmodified, keeping each view's caret line
// and the bookmarks of the lines that still exist. 0, or the errno value of a failure, when the
// text stays as it was.
int ReloadFromDisk(CSampleDoc& document);

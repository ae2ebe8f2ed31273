#pragma once

#include <QString>

#include <cstdint>

// One spelling for one file: the path with links and "." and ".." resolved, so that "a/../b.cir"
// and a link to b.cir compare equal; for a file that does not exist, the cleaned absolute path.
QString FileIdentity(const QString& path);

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

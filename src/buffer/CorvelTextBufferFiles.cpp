// Loading and storing the text of CCorvelTextBuffer.

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "CorvelTextBuffer.h"

namespace {

// Fills the chunk as far as the file allows, so that a short read from a slow file system is
// never taken for the end of the file. The count read, or -1 on failure.
long ReadChunk(CReadableFile& file, char* chunk) {
    long total = 0;
    while (total < CCorvelTextBuffer::kReadChunkSize) {
        long count = file.Read(chunk + total, CCorvelTextBuffer::kReadChunkSize - total);
        if (count < 0)
            return -1;
        if (count == 0)
            break;
        total += count;
    }
    return total;
}

// The style of a file, from the first line break in its first chunk.
LineEndingStyle DetectLineEnding(const char* chunk, long size) {
    for (long index = 0; index < size; ++index) {
        if (chunk[index] == '\n')
            return LineEndingStyle::Unix;
        if (chunk[index] == '\r') {
            return index + 1 < size && chunk[index + 1] == '\n' ? LineEndingStyle::Win
                                                                : LineEndingStyle::Mac;
        }
    }
    return LineEndingStyle::Win;
}

// The number of characters a line keeps: a NUL cuts it there.
int KeptLength(const char* characters, std::size_t count) {
    const void* nul = std::memchr(characters, '\0', count);
    return static_cast<int>(nul ? static_cast<const char*>(nul) - characters : count);
}

std::string FolderOf(const std::string& path) {
    std::string::size_type slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// Collects small writes into large ones; any write that does not take all its bytes fails the
// whole store.
class BufferedWriter {
public:
    explicit BufferedWriter(CWritableFile& file)
        : file_(file), buffer_(std::make_unique<char[]>(kSize)) {}

    bool Append(const char* data, std::size_t size) {
        if (used_ + size > kSize && !Flush())
            return false;
        if (size >= kSize)
            return WriteAll(data, size);
        std::memcpy(buffer_.get() + used_, data, size);
        used_ += size;
        return true;
    }

    bool Flush() {
        if (used_ == 0)
            return true;
        bool written = WriteAll(buffer_.get(), used_);
        used_ = 0;
        return written;
    }

private:
    static constexpr std::size_t kSize = std::size_t{1} << 20;

    bool WriteAll(const char* data, std::size_t size) {
        return file_.Write(data, size) == static_cast<long>(size);
    }

    CWritableFile& file_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
};

}  // namespace

bool CCorvelTextBuffer::LoadFile(const char* path, LineEndingStyle style) {
    FileAttributes attributes;
    errno = 0;
    if (path == nullptr || !fileSystem_.GetAttributes(path, attributes))
        return FailWith(path == nullptr ? EINVAL : ENOENT);
    // Nothing is opened that is not a regular file: opening a pipe waits for a writer.
    if (attributes.folder)
        return FailWith(EISDIR);
    if (!attributes.regular)
        return FailWith(ENOTSUP);
    std::unique_ptr<CReadableFile> file = fileSystem_.OpenForReading(path);
    if (!file)
        return FailWith(errno);
    if (!ReadLines(*file, style))
        return FailWith(errno == 0 ? EFBIG : errno);

    readOnly = attributes.readOnly;
    modified = false;
    startGroupNext = false;
    groupOpen = false;
    historyLimit = kDefaultHistoryLimit;
    ClearHistory();
    historyPosition = 0;
    savedPosition = 0;
    NotifyViews(nullptr, nullptr, WholeText, -1);
    lastFileError = 0;
    return true;
}

bool CCorvelTextBuffer::FailWith(int error) {
    lastFileError = error != 0 ? error : EIO;
    return false;
}

// Splits the file into lines at the style's break. The break is matched byte by byte: with CR LF,
// a CR followed by anything but LF stays in the line, and so does the byte after it, which is not
// tried as the start of a new break ("a CR CR LF b" is one line).
bool CCorvelTextBuffer::ReadLines(CReadableFile& file, LineEndingStyle style) {
    auto chunk = std::make_unique<char[]>(kReadChunkSize);
    long size = ReadChunk(file, chunk.get());
    if (size < 0)
        return false;

    if (style == LineEndingStyle::Detect)
        style = DetectLineEnding(chunk.get(), size);
    if (*LineBreakOf(style) == '\0')
        return false;  // not a style a file can have
    lineEnding = style;
    if (lines.Size() > 0)
        ReleaseLineReserves();
    lines.SetGrowthStep(4096);

    const char* lineBreak = LineBreakOf(style);
    const std::size_t breakLength = std::strlen(lineBreak);
    const char first = lineBreak[0];

    // Bytes of a line that began in an earlier chunk, and whether they end in the first byte of
    // a two-byte break.
    std::string gathered;
    bool breakStarted = false;

    // A longer line than a line can hold fails the load rather than being cut short.
    constexpr std::size_t kLongest = kLongestLine;
    bool tooLong = false;
    auto addLine = [&](const char* characters, std::size_t count) {
        if (gathered.size() + count > kLongest) {
            tooLong = true;
            return;
        }
        if (gathered.empty()) {
            AddLine(characters, KeptLength(characters, count));
        } else {
            gathered.append(characters, count);
            AddLine(gathered.data(), KeptLength(gathered.data(), gathered.size()));
            gathered.clear();
        }
    };

    while (size > 0) {
        const char* bytes = chunk.get();
        long position = 0;
        long lineStart = 0;
        if (breakStarted) {
            // The chunk before ended in a CR: its first byte completes the break or is kept.
            breakStarted = false;
            position = 1;
            if (bytes[0] == lineBreak[1]) {
                gathered.pop_back();
                addLine(bytes, 0);
                lineStart = 1;
            }
        }
        for (;;) {
            const void* found = std::memchr(bytes + position, first, size - position);
            if (found == nullptr)
                break;
            long at = static_cast<const char*>(found) - bytes;
            if (breakLength == 1) {
                addLine(bytes + lineStart, at - lineStart);
                position = lineStart = at + 1;
                continue;
            }
            if (at + 1 == size) {
                breakStarted = true;
                break;
            }
            if (bytes[at + 1] == lineBreak[1]) {
                addLine(bytes + lineStart, at - lineStart);
                position = lineStart = at + 2;
            } else {
                position = at + 2;  // the byte after the CR is not a new start
            }
        }
        if (tooLong)
            return false;
        gathered.append(bytes + lineStart, size - lineStart);
        if (gathered.size() > kLongest)
            return false;
        if (size < kReadChunkSize)
            break;
        size = ReadChunk(file, chunk.get());
        if (size < 0)
            return false;
    }
    AddLine(gathered.data(), KeptLength(gathered.data(), gathered.size()));
    return true;
}

bool CCorvelTextBuffer::WriteLines(CWritableFile& file, const char* lineBreak) const {
    BufferedWriter writer(file);
    std::size_t breakLength = std::strlen(lineBreak);
    int last = lines.Size() - 1;
    for (int line = 0; line <= last; ++line) {
        const SLineInfo& info = lines[line];
        if (info.length > 0 && !writer.Append(info.text, info.length))
            return false;
        if (line < last && !writer.Append(lineBreak, breakLength))
            return false;
    }
    return writer.Flush();
}

// The new text goes to a temporary file beside the target, reaches the disk, takes the target's
// permissions and owner, and then replaces the target in one rename: at every moment the target
// holds either the old or the new text.
bool CCorvelTextBuffer::StoreFile(const char* path, LineEndingStyle style, bool markAsSaved) {
    if (path == nullptr || *path == '\0')
        return FailWith(ENOENT);
    std::string target = fileSystem_.ResolveLinks(path);
    FileAttributes attributes;
    if (fileSystem_.GetAttributes(target, attributes) && attributes.readOnly)
        return FailWith(EACCES);

    std::string temporaryPath;
    errno = 0;
    std::unique_ptr<CWritableFile> file =
        fileSystem_.CreateTemporaryFile(FolderOf(target), temporaryPath);
    if (!file)
        return FailWith(errno);

    if (style == LineEndingStyle::Detect)
        style = lineEnding;
    if (*LineBreakOf(style) == '\0') {
        file.reset();
        fileSystem_.Remove(temporaryPath);
        return FailWith(EINVAL);
    }
    errno = 0;
    bool stored = WriteLines(*file, LineBreakOf(style)) && file->Sync();
    stored = file->Close() && stored;
    file.reset();
    stored = stored && fileSystem_.CopyPermissions(target, temporaryPath);
    stored = stored && fileSystem_.Rename(temporaryPath, target);
    if (!stored) {
        // The reason is taken before the clean-up can overwrite it.
        int error = errno;
        fileSystem_.Remove(temporaryPath);
        return FailWith(error);
    }

    if (markAsSaved) {
        MarkModified(false);
        savedPosition = historyPosition;
    }
    lastFileError = 0;
    return true;
}

// Loading and storing the text of CCorvelTextBuffer.

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "CorvelTextBuffer.h"
#include "LineSplitter.h"

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
    return LoadFile(path, style, {});
}

bool CCorvelTextBuffer::LoadFile(const char* path, LineEndingStyle style,
                                 const LoadProgress& progress, std::uint64_t byteLimit) {
    FileAttributes attributes;
    errno = 0;
    if (path == nullptr)
        return FailWith(EINVAL);
    // The system's own reason: a folder on the way may refuse search (EACCES) as well as lack
    // the file.
    if (!fileSystem_.GetAttributes(path, attributes))
        return FailWith(errno != 0 ? errno : ENOENT);
    // Nothing is opened that is not a regular file: opening a pipe waits for a writer.
    if (attributes.folder)
        return FailWith(EISDIR);
    if (!attributes.regular)
        return FailWith(ENOTSUP);
    std::unique_ptr<CReadableFile> file = fileSystem_.OpenForReading(path);
    if (!file)
        return FailWith(errno);
    // The new lines are read apart and take the old ones' place only once all of them are in:
    // a read that fails half way leaves the text as it was.
    CCorvelTextBuffer incoming(fileSystem_);
    incoming.loaded_.SetLimit(loaded_.Limit());
    if (!incoming.ReadLines(*file, style, progress, byteLimit))
        return FailWith(errno == 0 ? EFBIG : errno);
    SwapLines(incoming);
    fileSystem_.RemoveAbandonedTemporaries(FolderOf(path));
    ResetAfterLoad(attributes.readOnly);
    return true;
}

void CCorvelTextBuffer::ResetAfterLoad(bool fileReadOnly) {
    // A save would write the lines as cut, so the text cannot be saved over its file.
    readOnly = fileReadOnly || loadCutAtNul;
    modified = false;
    startGroupNext = false;
    groupOpen = false;
    historyLimit = kDefaultHistoryLimit;
    ClearHistory();
    historyPosition = 0;
    savedPosition = 0;
    NotifyViews(nullptr, nullptr, WholeText, -1);
    lastFileError = 0;
}

void CCorvelTextBuffer::TakeLoadedText(CCorvelTextBuffer& loaded) {
    const bool loadedReadOnly = loaded.readOnly;
    SwapLines(loaded);
    ResetAfterLoad(loadedReadOnly);
}

bool CCorvelTextBuffer::FailWith(int error) {
    lastFileError = error != 0 ? error : EIO;
    return false;
}

bool CCorvelTextBuffer::ReadLines(CReadableFile& file, LineEndingStyle style,
                                  const LoadProgress& progress, std::uint64_t byteLimit) {
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

    CLineSplitter splitter(LineBreakOf(style), kLongestLine,
                           [this](const char* characters, int count) {
                               AddLoadedLine(characters, count);
                           });
    std::uint64_t read = 0;
    while (size > 0) {
        if (!splitter.Split(chunk.get(), size))
            return false;
        read += static_cast<std::uint64_t>(size);
        if (progress && !progress(read)) {
            errno = ECANCELED;
            return false;
        }
        if (size < kReadChunkSize || read >= byteLimit)
            break;
        size = ReadChunk(file, chunk.get());
        if (size < 0)
            return false;
    }
    splitter.Finish();
    loadCutAtNul = splitter.CutAtNul();
    return true;
}

bool CCorvelTextBuffer::WriteLines(CWritableFile& file, const char* lineBreak) const {
    BufferedWriter writer(file);
    std::size_t breakLength = std::strlen(lineBreak);
    int last = lines.Size() - 1;
    for (int line = 0; line <= last; ++line) {
        const SLineInfo info = Decode(lines[line]);
        if (info.length > 0 && !writer.Append(info.text, info.length))
            return false;
        if (line < last && !writer.Append(lineBreak, breakLength))
            return false;
    }
    return writer.Flush();
}

namespace {

// The folder refuses a new file or a rename in it (no write permission, or a sticky folder and a
// file of another user), though the file itself may be writable.
bool FolderRefuses(int error) {
    return error == EACCES || error == EPERM;
}

}  // namespace

// A file with several names, or one whose folder refuses the new file, is rewritten in place;
// any other goes the safer way of a temporary file and a rename.
bool CCorvelTextBuffer::StoreFile(const char* path, LineEndingStyle style, bool markAsSaved) {
    keptCopyPath.clear();
    if (path == nullptr || *path == '\0')
        return FailWith(ENOENT);
    if (style == LineEndingStyle::Detect)
        style = lineEnding;
    if (*LineBreakOf(style) == '\0')
        return FailWith(EINVAL);
    const char* lineBreak = LineBreakOf(style);
    std::string target = fileSystem_.ResolveLinks(path);
    FileAttributes attributes;
    bool exists = fileSystem_.GetAttributes(target, attributes);
    if (exists && attributes.folder)
        return FailWith(EISDIR);
    // A pipe or a device is never replaced by a plain file, nor written to.
    if (exists && !attributes.regular)
        return FailWith(ENOTSUP);
    if (exists && attributes.readOnly)
        return FailWith(EACCES);

    bool stored;
    if (exists && attributes.links > 1) {
        stored = StoreInPlace(target, lineBreak);
    } else {
        int error = 0;
        bool folderRefused = false;
        stored = StoreByRenaming(target, lineBreak, error, folderRefused);
        if (!stored && exists && folderRefused)
            stored = StoreInPlace(target, lineBreak);
        else if (!stored)
            FailWith(error);
    }
    if (!stored)
        return false;

    if (markAsSaved) {
        MarkModified(false);
        savedPosition = historyPosition;
    }
    lastFileError = 0;
    return true;
}

// The new text goes to a temporary file beside the target, reaches the disk, takes the target's
// permissions and owner, and then replaces the target in one rename: at every moment the target
// holds either the old or the new text. The error receives the reason of a failure, and
// folderRefused whether it was the folder that refused the new file or the rename.
bool CCorvelTextBuffer::StoreByRenaming(const std::string& target, const char* lineBreak,
                                        int& error, bool& folderRefused) {
    fileSystem_.RemoveAbandonedTemporaries(FolderOf(target));
    std::string temporaryPath;
    errno = 0;
    // A file that replaces another takes its permissions before a byte is written, so that a
    // private netlist is never readable by others in its temporary copy.
    FileAttributes existing;
    const bool replaces = fileSystem_.GetAttributes(target, existing);
    std::unique_ptr<CWritableFile> file =
        fileSystem_.CreateTemporaryFile(FolderOf(target), temporaryPath, replaces);
    if (!file) {
        error = errno;
        folderRefused = FolderRefuses(error);
        return false;
    }
    errno = 0;
    bool stored = !replaces || fileSystem_.CopyPermissions(target, temporaryPath);
    stored = stored && WriteLines(*file, lineBreak) && file->Sync();
    stored = file->Close() && stored;
    file.reset();
    // Once more after the writes, which clear set-user and set-group bits.
    stored = stored && fileSystem_.CopyPermissions(target, temporaryPath);
    if (stored) {
        errno = 0;
        stored = fileSystem_.Rename(temporaryPath, target);
        folderRefused = !stored && FolderRefuses(errno);
    }
    if (!stored) {
        // The reason is taken before the clean-up can overwrite it.
        error = errno;
        fileSystem_.Remove(temporaryPath);
    }
    return stored;
}

// The old bytes are first copied to a private spare file and made durable; then the target is
// emptied and written. Should that fail, the old bytes are written back from the spare copy, and
// if even that fails the copy stays where KeptCopyPath says, so that one whole text always
// exists on disk. The file keeps its inode: its other names, owner, mode and access lists.
bool CCorvelTextBuffer::StoreInPlace(const std::string& target, const char* lineBreak) {
    std::string sparePath;
    errno = 0;
    if (!CopyFileBytes(target, nullptr, &sparePath))
        return FailWith(errno);

    errno = 0;
    std::unique_ptr<CWritableFile> file = fileSystem_.OpenForOverwriting(target);
    if (!file) {
        int error = errno;
        fileSystem_.Remove(sparePath);
        return FailWith(error);
    }
    bool stored = WriteLines(*file, lineBreak) && file->Sync();
    stored = file->Close() && stored;
    file.reset();
    if (stored) {
        fileSystem_.Remove(sparePath);
        return true;
    }
    int error = errno;
    if (CopyFileBytes(sparePath, &target, nullptr))
        fileSystem_.Remove(sparePath);
    else
        keptCopyPath = sparePath;
    return FailWith(error);
}

// Copies the bytes of the file at "from" into the existing file *to, or into a new spare copy
// whose path *sparePath receives (removed again on failure). The copy reaches the disk before
// the result is true.
bool CCorvelTextBuffer::CopyFileBytes(const std::string& from, const std::string* to,
                                      std::string* sparePath) {
    std::unique_ptr<CReadableFile> source = fileSystem_.OpenForReading(from);
    if (!source)
        return false;
    std::string createdPath;
    std::unique_ptr<CWritableFile> copy = to != nullptr
                                              ? fileSystem_.OpenForOverwriting(*to)
                                              : fileSystem_.CreateSpareCopy(from, createdPath);
    if (!copy)
        return false;
    auto chunk = std::make_unique<char[]>(kReadChunkSize);
    bool copied = true;
    for (;;) {
        long count = ReadChunk(*source, chunk.get());
        if (count < 0 || (count > 0 && copy->Write(chunk.get(), count) != count)) {
            copied = false;
            break;
        }
        if (count < kReadChunkSize)
            break;
    }
    copied = copied && copy->Sync();
    copied = copy->Close() && copied;
    copy.reset();
    if (sparePath == nullptr)
        return copied;
    if (!copied) {
        int error = errno;
        fileSystem_.Remove(createdPath);
        errno = error;
        return false;
    }
    *sparePath = createdPath;
    return true;
}

#include "PosixFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>
#include <vector>

#include "ProcessIdentity.h"

namespace {

const std::string kTemporaryPrefix = ".kivra-";
constexpr std::size_t kRandomLetters = 8;

class PosixReadableFile : public CReadableFile {
public:
    explicit PosixReadableFile(int descriptor) : descriptor_(descriptor) {}
    ~PosixReadableFile() override { ::close(descriptor_); }

    long Read(char* destination, std::size_t size) override {
        for (;;) {
            ssize_t count = ::read(descriptor_, destination, size);
            if (count >= 0)
                return static_cast<long>(count);
            if (errno != EINTR)
                return -1;
        }
    }

private:
    int descriptor_;
};

class PosixWritableFile : public CWritableFile {
public:
    explicit PosixWritableFile(int descriptor) : descriptor_(descriptor) {}
    ~PosixWritableFile() override { Close(); }

    long Write(const char* source, std::size_t size) override {
        std::size_t done = 0;
        while (done < size) {
            ssize_t count = ::write(descriptor_, source + done, size - done);
            if (count < 0) {
                if (errno == EINTR)
                    continue;
                return done > 0 ? static_cast<long>(done) : -1;
            }
            if (count == 0)
                break;
            done += static_cast<std::size_t>(count);
        }
        return static_cast<long>(done);
    }

    bool Sync() override { return descriptor_ >= 0 && ::fsync(descriptor_) == 0; }

    bool Close() override {
        if (descriptor_ < 0)
            return true;
        int result = ::close(descriptor_);
        descriptor_ = -1;
        return result == 0;
    }

private:
    int descriptor_;
};

std::string FolderOfPath(const std::string& path) {
    std::string::size_type slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}

// A new file under a name no other file has, made with O_EXCL so that nothing already there is
// ever opened. Null, with errno set, on failure.
std::unique_ptr<CWritableFile> CreateUniqueFile(const std::string& folder, const char* prefix,
                                                mode_t mode, std::string& path) {
    static std::mt19937_64 random{std::random_device{}()};
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string start = (folder.empty() ? std::string(".") : folder) + "/" + prefix;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = start;
        for (std::size_t index = 0; index < kRandomLetters; ++index)
            candidate += kLetters[random() % (sizeof kLetters - 1)];
        int descriptor = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (descriptor >= 0) {
            path = candidate;
            return std::make_unique<PosixWritableFile>(descriptor);
        }
        if (errno != EEXIST)
            return nullptr;
    }
    return nullptr;
}

// After a rename the folder's entry is made durable too; a failure here loses nothing that the
// rename has not already made visible, so it is not reported.
void SyncFolderOf(const std::string& path) {
    std::string folder = FolderOfPath(path);
    int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    ::fsync(descriptor);
    ::close(descriptor);
}

// ".kivra-<pid>-<start time>-<8 letters>": a temporary of a save. The spare copies of saves in
// place (".kivra-old-") never match: one left by a killed save may hold the only whole text.
bool IsTemporaryName(const std::string& name, std::string& tag) {
    if (name.compare(0, kTemporaryPrefix.size(), kTemporaryPrefix) != 0)
        return false;
    std::string rest = name.substr(kTemporaryPrefix.size());
    std::string::size_type last = rest.rfind('-');
    if (last == std::string::npos || rest.size() - last - 1 != kRandomLetters)
        return false;
    tag = rest.substr(0, last);
    // The tag's own form (digits, a dash, digits) is checked by ProcessOfTagRuns; this only
    // keeps out names that cannot be a tag at all.
    std::string::size_type dash = tag.find('-');
    if (dash == std::string::npos || dash == 0 || dash + 1 == tag.size())
        return false;
    for (char character : tag) {
        if (character != '-' && (character < '0' || character > '9'))
            return false;
    }
    return tag.find('-', dash + 1) == std::string::npos;
}

}  // namespace

bool CPosixFileSystem::GetAttributes(const std::string& path, FileAttributes& attributes) {
    struct stat status;
    if (::stat(path.c_str(), &status) != 0)
        return false;
    // The write bits count even for root, who could write anyway: a file that nobody may write
    // is treated as read-only, as its owner meant it.
    bool noWriteBit = (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    attributes.readOnly = noWriteBit || ::access(path.c_str(), W_OK) != 0;
    attributes.regular = S_ISREG(status.st_mode);
    attributes.folder = S_ISDIR(status.st_mode);
    attributes.links = static_cast<unsigned long>(status.st_nlink);
    return true;
}

std::unique_ptr<CReadableFile> CPosixFileSystem::OpenForReading(const std::string& path) {
    int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return nullptr;
    struct stat status;
    if (::fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode)) {
        ::close(descriptor);
        return nullptr;
    }
    ::posix_fadvise(descriptor, 0, 0, POSIX_FADV_SEQUENTIAL);
    return std::make_unique<PosixReadableFile>(descriptor);
}

std::unique_ptr<CWritableFile> CPosixFileSystem::CreateTemporaryFile(const std::string& folder,
                                                                     std::string& path,
                                                                     bool makePrivate) {
    // A file that becomes a new netlist is made with the mode of any new file (0666 less the
    // umask, and the folder's default access list).
    // The name tells whose it is, so that one left by a killed save can be found and removed.
    std::string prefix = kTemporaryPrefix + OwnProcessTag() + "-";
    return CreateUniqueFile(folder, prefix.c_str(), makePrivate ? 0600 : 0666, path);
}

void CPosixFileSystem::RemoveAbandonedTemporaries(const std::string& folder) {
    DIR* listing = ::opendir(folder.empty() ? "." : folder.c_str());
    if (listing == nullptr)
        return;
    std::vector<std::string> abandoned;
    while (const dirent* entry = ::readdir(listing)) {
        std::string tag;
        if (IsTemporaryName(entry->d_name, tag) && !ProcessOfTagRuns(tag))
            abandoned.push_back(entry->d_name);
    }
    ::closedir(listing);
    for (const std::string& name : abandoned) {
        std::string path = folder + "/" + name;
        // Only a plain file of this user's: never a link, nor what another user left.
        struct stat status {};
        if (::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
            status.st_uid == ::geteuid())
            ::unlink(path.c_str());
    }
}

std::unique_ptr<CWritableFile> CPosixFileSystem::OpenForOverwriting(const std::string& path) {
    // No O_CREAT: the file is the one that was there, with its links, owner and mode.
    int descriptor = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW);
    if (descriptor < 0)
        return nullptr;
    return std::make_unique<PosixWritableFile>(descriptor);
}

std::unique_ptr<CWritableFile> CPosixFileSystem::CreateSpareCopy(const std::string& nearPath,
                                                                 std::string& path) {
    // Private, since the folder the copy lands in may be more open than the file's own.
    std::unique_ptr<CWritableFile> file =
        CreateUniqueFile(FolderOfPath(nearPath), ".kivra-old-", 0600, path);
    if (file || (errno != EACCES && errno != EPERM && errno != EROFS))
        return file;
    const char* temporary = std::getenv("TMPDIR");
    std::string folder = temporary != nullptr && *temporary != '\0' ? temporary : "/tmp";
    return CreateUniqueFile(folder, "kivra-old-", 0600, path);
}

bool CPosixFileSystem::CopyPermissions(const std::string& from, const std::string& to) {
    struct stat existing {};
    if (::stat(from.c_str(), &existing) != 0)
        return errno == ENOENT;
    // The owner first: a change of owner may clear the set-id bits, which the mode then restores.
    // Only root may give a file away; anyone may give it one of their own groups.
    if (::chown(to.c_str(), existing.st_uid, existing.st_gid) != 0)
        (void)::chown(to.c_str(), static_cast<uid_t>(-1), existing.st_gid);
    return ::chmod(to.c_str(), existing.st_mode & 07777) == 0;
}

bool CPosixFileSystem::Rename(const std::string& source, const std::string& target) {
    if (::rename(source.c_str(), target.c_str()) != 0)
        return false;
    SyncFolderOf(target);
    return true;
}

bool CPosixFileSystem::Remove(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

std::string CPosixFileSystem::ResolveLinks(const std::string& path) {
    // Follows the chain of links to the file at its end, which need not exist yet (Save As onto a
    // link to a new file). Links among the folders need no resolving: rename goes through them.
    std::string current = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat status;
        if (::lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return current;
        char target[PATH_MAX];
        ssize_t length = ::readlink(current.c_str(), target, sizeof target - 1);
        if (length < 0)
            return current;
        target[length] = '\0';
        if (target[0] == '/') {
            current = target;
        } else {
            std::string::size_type slash = current.find_last_of('/');
            current = slash == std::string::npos ? std::string(target)
                                                 : current.substr(0, slash + 1) + target;
        }
    }
    return path;  // a loop of links: saving fails on it, since it has no permissions to keep
}

CFileSystem& DefaultFileSystem() {
    static CPosixFileSystem fileSystem;
    return fileSystem;
}

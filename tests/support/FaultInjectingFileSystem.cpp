#include "FaultInjectingFileSystem.h"

#include <cerrno>

namespace {

class FaultyReadableFile : public CReadableFile {
public:
    FaultyReadableFile(std::unique_ptr<CReadableFile> file, CFaultInjectingFileSystem& owner)
        : file_(std::move(file)), owner_(owner) {}

    long Read(char* destination, std::size_t size) override {
        if (++owner_.readCount == owner_.faults.failReadNumber)
            return -1;
        return file_->Read(destination, size);
    }

private:
    std::unique_ptr<CReadableFile> file_;
    CFaultInjectingFileSystem& owner_;
};

class FaultyWritableFile : public CWritableFile {
public:
    FaultyWritableFile(std::unique_ptr<CWritableFile> file, CFaultInjectingFileSystem& owner)
        : file_(std::move(file)), owner_(owner) {}

    long Write(const char* source, std::size_t size) override {
        int number = ++owner_.writeCount;
        if (number == owner_.faults.failWriteNumber ||
            (owner_.faults.failWritesFrom > 0 && number >= owner_.faults.failWritesFrom)) {
            errno = ENOSPC;
            return -1;
        }
        if (number == owner_.faults.shortWriteNumber)
            return file_->Write(source, size / 2);
        return file_->Write(source, size);
    }

    bool Sync() override { return !owner_.faults.failSync && file_->Sync(); }

    bool Close() override {
        bool closed = file_->Close();
        return closed && !owner_.faults.failClose;
    }

private:
    std::unique_ptr<CWritableFile> file_;
    CFaultInjectingFileSystem& owner_;
};

}  // namespace

bool CFaultInjectingFileSystem::GetAttributes(const std::string& path, FileAttributes& attributes) {
    return target_.GetAttributes(path, attributes);
}

std::unique_ptr<CReadableFile> CFaultInjectingFileSystem::OpenForReading(const std::string& path) {
    if (faults.failOpenForReading)
        return nullptr;
    std::unique_ptr<CReadableFile> file = target_.OpenForReading(path);
    if (!file)
        return nullptr;
    return std::make_unique<FaultyReadableFile>(std::move(file), *this);
}

std::unique_ptr<CWritableFile> CFaultInjectingFileSystem::CreateTemporaryFile(
    const std::string& folder, std::string& path, bool makePrivate) {
    if (faults.failTemporaryCreation) {
        errno = faults.temporaryCreationError;
        return nullptr;
    }
    std::unique_ptr<CWritableFile> file = target_.CreateTemporaryFile(folder, path, makePrivate);
    if (!file)
        return nullptr;
    return std::make_unique<FaultyWritableFile>(std::move(file), *this);
}

std::unique_ptr<CWritableFile> CFaultInjectingFileSystem::OpenForOverwriting(
    const std::string& path) {
    if (faults.failOpenForOverwriting) {
        errno = EACCES;
        return nullptr;
    }
    std::unique_ptr<CWritableFile> file = target_.OpenForOverwriting(path);
    if (!file)
        return nullptr;
    return std::make_unique<FaultyWritableFile>(std::move(file), *this);
}

std::unique_ptr<CWritableFile> CFaultInjectingFileSystem::CreateSpareCopy(
    const std::string& nearPath, std::string& path) {
    if (faults.failSpareCopyCreation) {
        errno = ENOSPC;
        return nullptr;
    }
    std::unique_ptr<CWritableFile> file = target_.CreateSpareCopy(nearPath, path);
    if (!file)
        return nullptr;
    return std::make_unique<FaultyWritableFile>(std::move(file), *this);
}

bool CFaultInjectingFileSystem::CopyPermissions(const std::string& from, const std::string& to) {
    if (faults.failCopyPermissions) {
        errno = EPERM;
        return false;
    }
    return target_.CopyPermissions(from, to);
}

bool CFaultInjectingFileSystem::Rename(const std::string& source, const std::string& target) {
    if (faults.failRename) {
        errno = faults.renameError;
        return false;
    }
    return target_.Rename(source, target);
}

bool CFaultInjectingFileSystem::Remove(const std::string& path) {
    return target_.Remove(path);
}

std::string CFaultInjectingFileSystem::ResolveLinks(const std::string& path) {
    return target_.ResolveLinks(path);
}

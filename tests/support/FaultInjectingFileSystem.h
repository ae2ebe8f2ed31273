#pragma once

#include <cerrno>

#include "FileSystem.h"

// A CFileSystem that passes every call to another one, except the calls it is told to fail.
// Tests use it to check that no failure point loses or damages a file.
class CFaultInjectingFileSystem : public CFileSystem {
public:
    explicit CFaultInjectingFileSystem(CFileSystem& target) : target_(target) {}

    // Faults to inject. Write and read numbers count from 1 over the life of this object;
    // 0 means never.
    struct Faults {
        bool failTemporaryCreation = false;
        bool failSpareCopyCreation = false;
        bool failOpenForOverwriting = false;
        int failWriteNumber = 0;   // that write writes nothing and fails
        int failWritesFrom = 0;    // that write and every one after it fail
        int shortWriteNumber = 0;  // that write writes half its bytes and reports so
        bool failSync = false;
        bool failClose = false;
        bool failCopyPermissions = false;
        bool failRename = false;
        // The reasons the two failures give: a refusal of the folder (EACCES, EPERM) makes a
        // store fall back to writing the file in place.
        int temporaryCreationError = EIO;
        int renameError = EIO;
        bool failOpenForReading = false;
        int failReadNumber = 0;  // that read fails
    };
    Faults faults;

    int writeCount = 0;
    int readCount = 0;

    bool GetAttributes(const std::string& path, FileAttributes& attributes) override;
    std::unique_ptr<CReadableFile> OpenForReading(const std::string& path) override;
    std::unique_ptr<CWritableFile> CreateTemporaryFile(const std::string& folder, std::string& path,
                                                       bool makePrivate) override;
    std::unique_ptr<CWritableFile> OpenForOverwriting(const std::string& path) override;
    std::unique_ptr<CWritableFile> CreateSpareCopy(const std::string& nearPath,
                                                   std::string& path) override;
    bool CopyPermissions(const std::string& from, const std::string& to) override;
    bool Rename(const std::string& source, const std::string& target) override;
    bool Remove(const std::string& path) override;
    std::string ResolveLinks(const std::string& path) override;
    void RemoveAbandonedTemporaries(const std::string& folder) override {
        target_.RemoveAbandonedTemporaries(folder);
    }

private:
    CFileSystem& target_;
};

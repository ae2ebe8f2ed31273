#pragma once

#include "FileSystem.h"

// CFileSystem on POSIX calls.
class CPosixFileSystem : public CFileSystem {
public:
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
    void RemoveAbandonedTemporaries(const std::string& folder) override;
};

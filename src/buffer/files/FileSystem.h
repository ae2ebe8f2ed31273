#pragma once

#include <cstddef>
#include <memory>
#include <string>

// The few file operations the buffer needs, behind an interface so that tests can inject faults.
// Every operation reports failure through its result and never throws.

struct FileAttributes {
    bool readOnly = false;  // no write permission for anyone, or not writable by this user
    // Only a regular file holds a text: a pipe would block its reader, a device never end.
    bool regular = true;
    bool folder = false;
    // Names the file has: a file with more than one is saved in place, so that every name
    // shows the saved text.
    unsigned long links = 1;
};

class CReadableFile {
public:
    virtual ~CReadableFile() = default;
    // Reads up to size bytes; the count read, 0 at the end of the file, -1 on failure.
    virtual long Read(char* destination, std::size_t size) = 0;
};

class CWritableFile {
public:
    virtual ~CWritableFile() = default;
    // Writes size bytes; the count written, which is less than size (or -1) on failure.
    virtual long Write(const char* source, std::size_t size) = 0;
    // Forces the bytes written so far onto the disk.
    virtual bool Sync() = 0;
    virtual bool Close() = 0;
};

class CFileSystem {
public:
    virtual ~CFileSystem() = default;

    // False when nothing exists at the path.
    virtual bool GetAttributes(const std::string& path, FileAttributes& attributes) = 0;
    virtual std::unique_ptr<CReadableFile> OpenForReading(const std::string& path) = 0;
    // Creates a new, uniquely named empty file in the folder and opens it for writing. A private
    // one only this user may read, for a file that is to take the permissions of another before
    // its first byte; else it gets the permissions of any newly created file. Null on failure.
    virtual std::unique_ptr<CWritableFile> CreateTemporaryFile(const std::string& folder,
                                                               std::string& path,
                                                               bool makePrivate) = 0;
    // Opens an existing file for writing from its start, emptied. Null on failure.
    virtual std::unique_ptr<CWritableFile> OpenForOverwriting(const std::string& path) = 0;
    // Creates a new, uniquely named empty file that only this user may read, to hold a copy of
    // the file at nearPath while that file is rewritten in place: in the same folder where the
    // folder allows it, else in the temporary folder. Null on failure.
    virtual std::unique_ptr<CWritableFile> CreateSpareCopy(const std::string& nearPath,
                                                           std::string& path) = 0;
    // Gives the file at "to" the permissions of the file at "from", and its owner and group as far
    // as this user may set them, so that a saved file stays as private, executable or shared as it
    // was. True, changing nothing, when nothing exists at "from".
    virtual bool CopyPermissions(const std::string& from, const std::string& to) = 0;
    // Replaces the target with the source in one step; the target is never missing.
    virtual bool Rename(const std::string& source, const std::string& target) = 0;
    virtual bool Remove(const std::string& path) = 0;
    // The path with symbolic links resolved, so that saving replaces the file a link points to
    // and not the link; the path itself when it cannot be resolved.
    virtual std::string ResolveLinks(const std::string& path) = 0;
    // Removes the temporaries that saves of processes no longer running left in the folder
    // (a save killed half way leaves its temporary beside the file it was to replace).
    virtual void RemoveAbandonedTemporaries(const std::string& folder) = 0;
};

// The real file system of the machine.
CFileSystem& DefaultFileSystem();

// The file operations the profile service performs, one call per step, so that tests
// can make any single step fail (or name the temporary file) on demand.
#pragma once

#include <cstdio>
#include <string>

// What identifies a file and what a replacement of it keeps.
struct FileIdentity {
    unsigned permissions = 0;   // the low 12 mode bits
    unsigned owner = 0;
    unsigned group = 0;
    unsigned long long device = 0;
    unsigned long long inode = 0;
};

class IProfileFiles {
public:
    enum class ReadResult { Read, Missing, Link, Failed };
    enum class CreateResult { Created, Exists, Refused, Failed };

    virtual ~IProfileFiles() = default;

    // Reads a whole regular file and what identifies it, never through a symbolic
    // link. Missing: no such file. Link: a symbolic link at the name, not followed.
    // Failed: anything else (not a regular file, too big, unreadable).
    virtual ReadResult ReadExisting(const std::string& path, std::string& text,
                                    FileIdentity& identity) = 0;
    // Whether the calling user may write the existing file.
    virtual bool CanWrite(const std::string& path) = 0;
    // A fresh random part for a temporary file name: letters and digits only.
    virtual std::string RandomSuffix() = 0;
    // Creates a new file exclusively, never through a symbolic link at that name.
    // Exists: the name is taken by anything at all, a dangling link included.
    // Refused: the directory takes no new file from this user (or is read-only).
    virtual CreateResult CreateExclusive(const std::string& path, unsigned permissions,
                                         std::FILE*& file) = 0;
    // Opens the file read before for writing from its first byte, without
    // truncating it: only a regular file, the same one (identity), never through a
    // symbolic link.
    virtual bool OpenForRewrite(const std::string& path, const FileIdentity& identity,
                                std::FILE*& file) = 0;
    // Makes room on the disk for size bytes, so that a full disk fails before any
    // byte changes; true where the file system cannot tell.
    virtual bool Reserve(std::FILE* file, unsigned long long size) = 0;
    // Cuts the file to size bytes.
    virtual bool Truncate(std::FILE* file, unsigned long long size) = 0;
    virtual bool SetOwner(std::FILE* file, unsigned owner, unsigned group) = 0;
    virtual bool Write(std::FILE* file, const std::string& data) = 0;
    virtual bool Flush(std::FILE* file) = 0;
    virtual bool SetPermissions(std::FILE* file, unsigned permissions) = 0;
    // Forces the file's data and metadata to the disk.
    virtual bool Sync(std::FILE* file) = 0;
    // Closes the file; false when the close reports an error. The file is gone either way.
    virtual bool Close(std::FILE* file) = 0;
    // Replaces `to` with `from` in one step.
    virtual bool Rename(const std::string& from, const std::string& to) = 0;
    virtual bool Remove(const std::string& path) = 0;
    // Makes a rename inside the directory durable.
    virtual bool SyncDirectory(const std::string& directory) = 0;
};

// The file operations the profile service uses: the POSIX ones unless replaced.
IProfileFiles& ProfileFiles();
// Replaces the file operations (tests); nullptr restores the POSIX ones. The caller
// keeps ownership and must keep the object alive while it is installed.
void SetProfileFiles(IProfileFiles* files);

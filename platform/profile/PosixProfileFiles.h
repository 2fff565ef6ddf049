// The profile service's file operations on a POSIX system.
#pragma once

#include "platform/profile/IProfileFiles.h"

class PosixProfileFiles : public IProfileFiles {
public:
    // A settings file larger than this is refused rather than read into memory.
    static constexpr long long MaxFileSize = 16LL * 1024 * 1024;

    ReadResult ReadExisting(const std::string& path, std::string& text,
                            FileIdentity& identity) override;
    bool CanWrite(const std::string& path) override;
    std::string RandomSuffix() override;
    CreateResult CreateExclusive(const std::string& path, unsigned permissions,
                                 std::FILE*& file) override;
    bool OpenForRewrite(const std::string& path, const FileIdentity& identity,
                        std::FILE*& file) override;
    bool Reserve(std::FILE* file, unsigned long long size) override;
    bool Truncate(std::FILE* file, unsigned long long size) override;
    bool SetOwner(std::FILE* file, unsigned owner, unsigned group) override;
    bool Write(std::FILE* file, const std::string& data) override;
    bool Flush(std::FILE* file) override;
    bool SetPermissions(std::FILE* file, unsigned permissions) override;
    bool Sync(std::FILE* file) override;
    bool Close(std::FILE* file) override;
    bool Rename(const std::string& from, const std::string& to) override;
    bool Remove(const std::string& path) override;
    bool SyncDirectory(const std::string& directory) override;
};

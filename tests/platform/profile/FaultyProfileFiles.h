// The POSIX file operations with one chosen step made to fail, counted calls and, on
// request, temporary-name suffixes chosen by the test.
#pragma once

#include "platform/profile/PosixProfileFiles.h"

#include <deque>
#include <map>
#include <string>

enum class FileStep {
    None,
    ReadExisting,
    CanWrite,
    CreateExclusive,
    Write,
    SetPermissions,
    Flush,
    Sync,
    Close,
    Rename,
    SyncDirectory,
    Remove,
    OpenForRewrite,
    Reserve,
    Truncate,
    SetOwner,
};

class FaultyProfileFiles : public PosixProfileFiles {
public:
    FileStep failAt = FileStep::None;
    // Every CreateExclusive reports a directory that refuses new files.
    bool refuseTemporary = false;
    // Handed out in order by RandomSuffix; when empty, `repeatSuffix` if set, else random.
    std::deque<std::string> suffixes;
    std::string repeatSuffix;
    // Calls per step, failed ones included.
    std::map<FileStep, int> calls;

    int TotalCalls() const
    {
        int total = 0;
        for (const auto& [step, count] : calls)
            total += count;
        return total;
    }

    ReadResult ReadExisting(const std::string& path, std::string& text, FileIdentity& identity) override
    {
        if (Fails(FileStep::ReadExisting))
            return ReadResult::Failed;
        return PosixProfileFiles::ReadExisting(path, text, identity);
    }
    bool CanWrite(const std::string& path) override
    {
        return !Fails(FileStep::CanWrite) && PosixProfileFiles::CanWrite(path);
    }
    std::string RandomSuffix() override
    {
        if (!suffixes.empty()) {
            std::string next = suffixes.front();
            suffixes.pop_front();
            return next;
        }
        return repeatSuffix.empty() ? PosixProfileFiles::RandomSuffix() : repeatSuffix;
    }
    CreateResult CreateExclusive(const std::string& path, unsigned permissions, std::FILE*& file) override
    {
        if (Fails(FileStep::CreateExclusive) || refuseTemporary) {
            file = nullptr;
            return refuseTemporary ? CreateResult::Refused : CreateResult::Failed;
        }
        return PosixProfileFiles::CreateExclusive(path, permissions, file);
    }
    bool OpenForRewrite(const std::string& path, const FileIdentity& identity, std::FILE*& file) override
    {
        file = nullptr;
        return !Fails(FileStep::OpenForRewrite) && PosixProfileFiles::OpenForRewrite(path, identity, file);
    }
    bool Reserve(std::FILE* file, unsigned long long size) override
    {
        return !Fails(FileStep::Reserve) && PosixProfileFiles::Reserve(file, size);
    }
    bool Truncate(std::FILE* file, unsigned long long size) override
    {
        return !Fails(FileStep::Truncate) && PosixProfileFiles::Truncate(file, size);
    }
    bool SetOwner(std::FILE* file, unsigned owner, unsigned group) override
    {
        return !Fails(FileStep::SetOwner) && PosixProfileFiles::SetOwner(file, owner, group);
    }
    // A failing write first writes half of the data, as a disk that fills up would.
    bool Write(std::FILE* file, const std::string& data) override
    {
        if (Fails(FileStep::Write)) {
            PosixProfileFiles::Write(file, data.substr(0, data.size() / 2));
            std::fflush(file);
            return false;
        }
        return PosixProfileFiles::Write(file, data);
    }
    bool SetPermissions(std::FILE* file, unsigned permissions) override
    {
        return !Fails(FileStep::SetPermissions) && PosixProfileFiles::SetPermissions(file, permissions);
    }
    // A failing flush still pushes the data out, so the temporary file is complete on
    // disk and only the reported failure can keep it from replacing the old one.
    bool Flush(std::FILE* file) override
    {
        const bool flushed = PosixProfileFiles::Flush(file);
        return !Fails(FileStep::Flush) && flushed;
    }
    bool Sync(std::FILE* file) override
    {
        return !Fails(FileStep::Sync) && PosixProfileFiles::Sync(file);
    }
    bool Close(std::FILE* file) override
    {
        const bool closed = PosixProfileFiles::Close(file);
        return !Fails(FileStep::Close) && closed;
    }
    bool Rename(const std::string& from, const std::string& to) override
    {
        return !Fails(FileStep::Rename) && PosixProfileFiles::Rename(from, to);
    }
    bool Remove(const std::string& path) override
    {
        return !Fails(FileStep::Remove) && PosixProfileFiles::Remove(path);
    }
    bool SyncDirectory(const std::string& directory) override
    {
        return !Fails(FileStep::SyncDirectory) && PosixProfileFiles::SyncDirectory(directory);
    }

private:
    bool Fails(FileStep step)
    {
        ++calls[step];
        return failAt == step;
    }
};

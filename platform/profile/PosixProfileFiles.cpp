// The profile service's file operations on a POSIX system, and the slot that lets
// tests replace them.
#include "platform/profile/PosixProfileFiles.h"

#include <cerrno>
#include <chrono>
#include <cstdint>

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

PosixProfileFiles g_posixFiles;
IProfileFiles* g_files = &g_posixFiles;

// Closes a descriptor on every path out of a scope.
class FdCloser {
public:
    explicit FdCloser(int fd) : m_fd(fd) {}
    ~FdCloser() { ::close(m_fd); }
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;

private:
    int m_fd;
};

} // namespace

IProfileFiles& ProfileFiles()
{
    return *g_files;
}

void SetProfileFiles(IProfileFiles* files)
{
    g_files = files != nullptr ? files : &g_posixFiles;
}

IProfileFiles::ReadResult PosixProfileFiles::ReadExisting(const std::string& path,
                                                          std::string& text,
                                                          FileIdentity& identity)
{
    // Non-blocking, so that a FIFO planted at the name cannot hang the caller; it is
    // refused below as not a regular file. A symbolic link is not followed.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0) {
        if (errno == ENOENT)
            return ReadResult::Missing;
        struct stat link {};
        if (errno == ELOOP && ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode))
            return ReadResult::Link;
        return ReadResult::Failed;
    }
    FdCloser closer(fd);

    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > MaxFileSize)
        return ReadResult::Failed;
    identity.permissions = static_cast<unsigned>(info.st_mode) & 07777u;
    identity.owner = info.st_uid;
    identity.group = info.st_gid;
    identity.device = info.st_dev;
    identity.inode = info.st_ino;

    text.clear();
    char buffer[8192];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return ReadResult::Failed;
        }
        if (got == 0)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
        if (static_cast<long long>(text.size()) > MaxFileSize)
            return ReadResult::Failed;
    }
    return ReadResult::Read;
}

bool PosixProfileFiles::CanWrite(const std::string& path)
{
    return ::access(path.c_str(), W_OK) == 0;
}

std::string PosixProfileFiles::RandomSuffix()
{
    static constexpr char Alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static constexpr std::size_t AlphabetSize = sizeof Alphabet - 1;
    unsigned char bytes[12] {};
    if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
        // No entropy yet (early boot): the clock and the process id still make a
        // collision unlikely, and an exclusive create makes one harmless.
        std::uint64_t mix = static_cast<std::uint64_t>(
            std::chrono::steady_clock::now().time_since_epoch().count());
        mix ^= static_cast<std::uint64_t>(::getpid()) << 32;
        for (unsigned char& byte : bytes) {
            mix = mix * 6364136223846793005ULL + 1442695040888963407ULL;
            byte = static_cast<unsigned char>(mix >> 56);
        }
    }
    std::string suffix;
    for (unsigned char byte : bytes)
        suffix += Alphabet[byte % AlphabetSize];
    return suffix;
}

IProfileFiles::CreateResult PosixProfileFiles::CreateExclusive(const std::string& path,
                                                               unsigned permissions,
                                                               std::FILE*& file)
{
    file = nullptr;
    // O_EXCL fails on any existing name, symbolic links included, so a link planted
    // at the temporary name is never followed.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          static_cast<mode_t>(permissions));
    if (fd < 0) {
        if (errno == EEXIST)
            return CreateResult::Exists;
        return errno == EACCES || errno == EPERM || errno == EROFS ? CreateResult::Refused : CreateResult::Failed;
    }
    file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        ::close(fd);
        ::unlink(path.c_str());
        return CreateResult::Failed;
    }
    return CreateResult::Created;
}

bool PosixProfileFiles::OpenForRewrite(const std::string& path, const FileIdentity& identity,
                                       std::FILE*& file)
{
    file = nullptr;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0)
        return false;
    struct stat info {};
    // The file read a moment ago and nothing else: a name swapped in between for
    // another file, a device or a FIFO is left alone.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_dev != identity.device ||
        info.st_ino != identity.inode) {
        ::close(fd);
        return false;
    }
    // Blocking again for the writes; fdopen never truncates.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        ::close(fd);
        return false;
    }
    return true;
}

bool PosixProfileFiles::Reserve(std::FILE* file, unsigned long long size)
{
    if (size == 0)
        return true;
    const int error = ::posix_fallocate(::fileno(file), 0, static_cast<off_t>(size));
    // File systems that cannot reserve say so; the write then finds out for itself.
    return error == 0 || error == EOPNOTSUPP || error == EINVAL;
}

bool PosixProfileFiles::Truncate(std::FILE* file, unsigned long long size)
{
    return ::ftruncate(::fileno(file), static_cast<off_t>(size)) == 0;
}

bool PosixProfileFiles::SetOwner(std::FILE* file, unsigned owner, unsigned group)
{
    return ::fchown(::fileno(file), static_cast<uid_t>(owner), static_cast<gid_t>(group)) == 0;
}

bool PosixProfileFiles::Write(std::FILE* file, const std::string& data)
{
    return std::fwrite(data.data(), 1, data.size(), file) == data.size();
}

bool PosixProfileFiles::Flush(std::FILE* file)
{
    return std::fflush(file) == 0;
}

bool PosixProfileFiles::SetPermissions(std::FILE* file, unsigned permissions)
{
    return ::fchmod(::fileno(file), static_cast<mode_t>(permissions)) == 0;
}

bool PosixProfileFiles::Sync(std::FILE* file)
{
    return ::fsync(::fileno(file)) == 0;
}

bool PosixProfileFiles::Close(std::FILE* file)
{
    return std::fclose(file) == 0;
}

bool PosixProfileFiles::Rename(const std::string& from, const std::string& to)
{
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool PosixProfileFiles::Remove(const std::string& path)
{
    return ::unlink(path.c_str()) == 0;
}

bool PosixProfileFiles::SyncDirectory(const std::string& directory)
{
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    FdCloser closer(fd);
    return ::fsync(fd) == 0;
}

// The private-profile write service over the replaceable file operations.
#include "platform/profile/ProfileService.h"

#include "platform/profile/IProfileFiles.h"
#include "platform/profile/ProfileText.h"
#include "platform/profile/SystemDirectory.h"

#include <exception>

namespace {

ProfileServiceFunction g_serviceOverride = nullptr;

// Tries this many temporary names before giving up; each try fails only when the name
// is already taken, which random names make all but impossible.
constexpr int TemporaryNameTries = 100;
// Permission bits of a new settings file before the umask, as for any created file.
constexpr unsigned NewFilePermissions = 0666;
// The temporary copy of an existing file is private until it takes the old bits.
constexpr unsigned TemporaryPermissions = 0600;

std::string DirectoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A temporary file that is closed and removed unless it was renamed into place.
class TemporaryFile {
public:
    explicit TemporaryFile(IProfileFiles& files) : m_files(files) {}
    ~TemporaryFile()
    {
        if (m_file != nullptr)
            m_files.Close(m_file);
        if (!m_path.empty())
            m_files.Remove(m_path);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool Create(const std::string& target, unsigned permissions)
    {
        const std::string prefix = DirectoryOf(target) + "/." + BaseNameOf(target) + ".";
        for (int attempt = 0; attempt < TemporaryNameTries; ++attempt) {
            const std::string path = prefix + m_files.RandomSuffix() + ".tmp";
            switch (m_files.CreateExclusive(path, permissions, m_file)) {
            case IProfileFiles::CreateResult::Created:
                m_path = path;
                return true;
            case IProfileFiles::CreateResult::Exists:
                continue;
            case IProfileFiles::CreateResult::Failed:
                return false;
            }
        }
        return false;
    }

    std::FILE* File() const { return m_file; }
    const std::string& Path() const { return m_path; }

    bool Close()
    {
        std::FILE* file = m_file;
        m_file = nullptr;
        return m_files.Close(file);
    }

    // After a successful rename the name belongs to the settings file.
    void Release() { m_path.clear(); }

private:
    IProfileFiles& m_files;
    std::FILE* m_file = nullptr;
    std::string m_path;
};

bool ReplaceFile(IProfileFiles& files, const std::string& path, const std::string& text,
                 bool exists, unsigned permissions)
{
    TemporaryFile temporary(files);
    if (!temporary.Create(path, exists ? TemporaryPermissions : NewFilePermissions))
        return false;
    if (!files.Write(temporary.File(), text))
        return false;
    if (exists && !files.SetPermissions(temporary.File(), permissions))
        return false;
    if (!files.Flush(temporary.File()) || !files.Sync(temporary.File()))
        return false;
    if (!temporary.Close())
        return false;
    if (!files.Rename(temporary.Path(), path))
        return false;
    temporary.Release();
    // The new file is in place and its data on disk; only the durability of the
    // rename itself depends on this, and some file systems cannot sync a directory,
    // so its result does not turn the finished write into a failure.
    files.SyncDirectory(DirectoryOf(path));
    return true;
}

bool WriteProfileFile(const char* section, const char* key, const char* value,
                      const std::string& fileName)
{
    if (section == nullptr && key == nullptr && value == nullptr)
        return true;
    if (section == nullptr || fileName.empty())
        return false;
    if (!ProfileText::IsWritableSection(section) || (key != nullptr && !ProfileText::IsWritableKey(key))
        || (value != nullptr && !ProfileText::IsWritableValue(value)))
        return false;

    const std::string path = ResolveProfilePath(fileName);
    if (path.empty())
        return false;

    IProfileFiles& files = ProfileFiles();
    std::string old;
    unsigned permissions = 0;
    const IProfileFiles::ReadResult read = files.ReadExisting(path, old, permissions);
    if (read == IProfileFiles::ReadResult::Failed)
        return false;
    const bool exists = read == IProfileFiles::ReadResult::Read;
    if (exists && !files.CanWrite(path))
        return false;

    ProfileText text(old);
    if (key == nullptr)
        text.DeleteSection(section);
    else if (value == nullptr)
        text.DeleteKey(section, key);
    else
        text.SetKey(section, key, value);
    // Nothing to change (the value is already there, or nothing to remove): the file
    // is left alone, and a missing file is not created.
    if (text.Text() == old)
        return true;
    return ReplaceFile(files, path, text.Text(), exists, permissions);
}

} // namespace

std::string ResolveProfilePath(const std::string& fileName)
{
    if (fileName.find('/') != std::string::npos)
        return fileName;
    const std::string directory = SystemDirectory();
    if (directory.empty())
        return {};
    return directory.back() == '/' ? directory + fileName : directory + "/" + fileName;
}

void SetProfileService(ProfileServiceFunction service)
{
    g_serviceOverride = service;
}

bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const std::string& fileName)
{
    if (g_serviceOverride != nullptr)
        return g_serviceOverride(section, key, value, fileName);
    try {
        return WriteProfileFile(section, key, value, fileName);
    } catch (const std::exception&) {
        // Out of memory while editing the text: the old file is untouched.
        return false;
    }
}

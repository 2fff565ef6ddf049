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

    IProfileFiles::CreateResult Create(const std::string& target, unsigned permissions)
    {
        const std::string prefix = DirectoryOf(target) + "/." + BaseNameOf(target) + ".";
        for (int attempt = 0; attempt < TemporaryNameTries; ++attempt) {
            const std::string path = prefix + m_files.RandomSuffix() + ".tmp";
            const IProfileFiles::CreateResult result = m_files.CreateExclusive(path, permissions, m_file);
            if (result == IProfileFiles::CreateResult::Exists)
                continue;
            if (result == IProfileFiles::CreateResult::Created)
                m_path = path;
            return result;
        }
        return IProfileFiles::CreateResult::Failed;
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

// An open file that is closed on every path; Close reports the close's own result.
class OpenFile {
public:
    OpenFile(IProfileFiles& files, std::FILE* file) : m_files(files), m_file(file) {}
    ~OpenFile()
    {
        if (m_file != nullptr)
            m_files.Close(m_file);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    bool Close()
    {
        std::FILE* file = m_file;
        m_file = nullptr;
        return m_files.Close(file);
    }

private:
    IProfileFiles& m_files;
    std::FILE* m_file;
};

// Where the directory takes no new file: the file itself rewritten, its owner, mode
// and name untouched. Not atomic as a replacement is, so room for the whole text is
// made first and the text goes out in one write.
bool RewriteInPlace(IProfileFiles& files, const std::string& path, const std::string& text,
                    const FileIdentity& identity)
{
    std::FILE* file = nullptr;
    if (!files.OpenForRewrite(path, identity, file))
        return false;
    OpenFile open(files, file);
    return files.Reserve(file, text.size()) && files.Write(file, text) && files.Flush(file) &&
           files.Truncate(file, text.size()) && files.Sync(file) && open.Close();
}

enum class Replaced { Done, Failed, Refused };

// The file replaced in one step through a temporary file beside it. Refused when the
// directory takes no temporary file, or when the file's owner cannot be kept (it
// would pass to whoever wrote last).
Replaced ReplaceFile(IProfileFiles& files, const std::string& path, const std::string& text,
                     const FileIdentity* existing)
{
    TemporaryFile temporary(files);
    switch (temporary.Create(path, existing ? TemporaryPermissions : NewFilePermissions)) {
    case IProfileFiles::CreateResult::Created:
        break;
    case IProfileFiles::CreateResult::Refused:
        return Replaced::Refused;
    default:
        return Replaced::Failed;
    }
    if (!files.Write(temporary.File(), text))
        return Replaced::Failed;
    if (existing) {
        if (!files.SetOwner(temporary.File(), existing->owner, existing->group))
            return Replaced::Refused;
        if (!files.SetPermissions(temporary.File(), existing->permissions))
            return Replaced::Failed;
    }
    if (!files.Flush(temporary.File()) || !files.Sync(temporary.File()))
        return Replaced::Failed;
    if (!temporary.Close())
        return Replaced::Failed;
    if (!files.Rename(temporary.Path(), path))
        return Replaced::Failed;
    temporary.Release();
    // The new file is in place and its data on disk; only the durability of the
    // rename itself depends on this, and some file systems cannot sync a directory,
    // so its result does not turn the finished write into a failure.
    files.SyncDirectory(DirectoryOf(path));
    return Replaced::Done;
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
    FileIdentity identity;
    const IProfileFiles::ReadResult read = files.ReadExisting(path, old, identity);
    if (read == IProfileFiles::ReadResult::Failed)
        return false;
    // A symbolic link at the name is neither read nor written through: a
    // replacement puts a file of its own in its place.
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
    switch (ReplaceFile(files, path, text.Text(), exists ? &identity : nullptr)) {
    case Replaced::Done:
        return true;
    case Replaced::Refused:
        return exists && RewriteInPlace(files, path, text.Text(), identity);
    case Replaced::Failed:
        break;
    }
    return false;
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

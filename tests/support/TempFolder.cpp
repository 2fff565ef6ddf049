// A test's temporary folder, with std::filesystem alone so that it builds for Windows.
#include "support/TempFolder.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Gives the owner back every right on the folders and files under path; links are
// left alone, so that nothing outside is touched.
void MakeRemovable(const fs::path& path)
{
    std::error_code ignored;
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (const fs::directory_entry& entry : fs::directory_iterator(path, ignored)) {
        if (entry.is_symlink(ignored))
            continue;
        if (entry.is_directory(ignored))
            MakeRemovable(entry.path());
        else
            fs::permissions(entry.path(), fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add,
                            ignored);
    }
}

} // namespace

TempFolder::TempFolder(std::string_view prefix)
{
    static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device device;
    std::mt19937 random(device());
    std::uniform_int_distribution<std::size_t> letter(0, sizeof Letters - 2);
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name(prefix);
        name += '-';
        for (int i = 0; i < 8; ++i)
            name += Letters[letter(random)];
        // create_directory is false for a name that exists; then another name is tried.
        if (fs::create_directory(base / name)) {
            m_path = base / name;
            fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::replace);
            return;
        }
    }
    throw fs::filesystem_error("no new temporary folder", base, std::make_error_code(std::errc::file_exists));
}

TempFolder::~TempFolder()
{
    MakeRemovable(m_path);
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

void TempFolder::OpenToOthers() const
{
    fs::permissions(m_path, fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read |
                                fs::perms::others_exec, fs::perm_options::add);
}

bool TempFolder::Put(const std::string& name, std::string_view bytes) const
{
    std::ofstream out(m_path / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return out.good();
}

std::optional<std::string> TempFolder::Get(const std::string& name) const
{
    std::ifstream in(m_path / name, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> TempFolder::Names() const
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(m_path))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A fresh folder of a test's own under the temporary directory ($TMPDIR, else /tmp;
// Windows' own), removed with everything in it when the object goes.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TempFolder {
public:
    // Named prefix-XXXXXXXX, new (never one that existed), open to its owner only.
    // Throws std::filesystem::filesystem_error when none can be made.
    explicit TempFolder(std::string_view prefix = "veskan-test");
    // Every folder and file in it is made writable again first, so that a test that
    // took the rights away leaves nothing behind.
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return m_path / name; }
    // Lets every user read and enter it, for programs the test runs as another user.
    void OpenToOthers() const;

    // Writes bytes as the file name, replacing it; false when it cannot be written.
    bool Put(const std::string& name, std::string_view bytes) const;
    // The file's bytes; nothing when there is no such file or it cannot be read.
    std::optional<std::string> Get(const std::string& name) const;
    // The names in the folder, sorted.
    std::vector<std::string> Names() const;

private:
    std::filesystem::path m_path;
};

// fuzz-profile: the settings writer on whatever file it finds. The input is the old
// VESKAN.INI; the writer sets Config/Type to -1 in it, and the result must be exactly
// the text the documented rules give, the value readable back, the permission bits
// kept, no temporary file left, and a second write a no-op.
//
// An input that starts with byte 01 and holds at least four of them names its own
// write: 01 section 01 key 01 value 01 old file. Those go through TIniFile's string
// interface, so a name may hold any byte, NUL and line breaks included; a write the
// rules refuse must fail with "Unable to write to VESKAN.INI" and leave the file alone.
#include "FuzzCheck.h"
#include "ProfileModel.h"
#include "platform/profile/ProfileService.h"
#include "platform/profile/SystemDirectory.h"
#include "platform/profile/TIniFile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* FileName = "VESKAN.INI";
constexpr char Separator = '\x01';

// One temporary directory for the whole process, removed when it exits normally.
const std::filesystem::path& Directory()
{
    static const std::filesystem::path directory = [] {
        // Memory-backed where there is one: the writer syncs every file it writes.
        std::string pattern = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        // The process id in the name lets tools/run-fuzz remove what a crashed run left.
        pattern += "/veskan-fuzz-profile-" + std::to_string(::getpid()) + "-XXXXXX";
        FUZZ_CHECK(::mkdtemp(pattern.data()) != nullptr, "cannot make a temporary directory");
        SetSystemDirectory(pattern);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(Directory(), ignored);
        });
        return std::filesystem::path(pattern);
    }();
    return directory;
}

std::filesystem::path FilePath()
{
    return Directory() / FileName;
}

std::optional<std::string> ReadFile()
{
    std::ifstream in(FilePath(), std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& text, unsigned mode)
{
    {
        std::ofstream out(FilePath(), std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        FUZZ_CHECK(out.good(), "cannot write the old file");
    }
    FUZZ_CHECK(::chmod(FilePath().c_str(), mode) == 0, "chmod");
}

unsigned ModeOf()
{
    struct stat info {};
    FUZZ_CHECK(::stat(FilePath().c_str(), &info) == 0, "stat");
    return static_cast<unsigned>(info.st_mode) & 07777u;
}

// Nothing but the settings file may be left in the directory.
void CheckNoStrayFiles()
{
    for (const auto& entry : std::filesystem::directory_iterator(Directory()))
        FUZZ_CHECK(entry.path().filename() == FileName, "left behind: %s", entry.path().c_str());
}

void ClearDirectory()
{
    for (const auto& entry : std::filesystem::directory_iterator(Directory()))
        std::filesystem::remove_all(entry.path());
}

struct Write {
    std::string section = "Config";
    std::string key = "Type";
    std::string value = "-1";
    bool named = false;  // the input chose the names: through TIniFile::WriteString
};

// True when the write reported success. TIniFile reports failure by raising.
bool Perform(const Write& write, bool throughIniFile)
{
    if (!write.named && !throughIniFile)
        return WritePrivateProfileString(write.section.c_str(), write.key.c_str(), write.value.c_str(), FileName);
    try {
        TIniFile file(FileName);
        if (write.named)
            file.WriteString(write.section, write.key, write.value);
        else
            file.WriteInteger(write.section, write.key, -1);
        return true;
    } catch (const EIniFileException& error) {
        FUZZ_CHECK(std::strcmp(error.what(), "Unable to write to VESKAN.INI") == 0, "'%s'", error.what());
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(bytes), size);
    Write write;
    std::string old = input;
    if (!input.empty() && input[0] == Separator) {
        const std::size_t a = input.find(Separator, 1);
        const std::size_t b = a == std::string::npos ? a : input.find(Separator, a + 1);
        const std::size_t c = b == std::string::npos ? b : input.find(Separator, b + 1);
        if (c != std::string::npos) {
            write.named = true;
            write.section = input.substr(1, a - 1);
            write.key = input.substr(a + 1, b - a - 1);
            write.value = input.substr(b + 1, c - b - 1);
            old = input.substr(c + 1);
        }
    }
    // An empty input stands for no file at all.
    const bool existed = !input.empty();
    // Permission bits the owner can read and write, the rest from the input.
    const unsigned mode = 0600u | (size > 0 ? (bytes[size - 1] & 077u) : 0u);
    const bool throughIniFile = size % 2 == 1;

    ClearDirectory();
    if (existed)
        WriteFile(old, mode);

    const bool acceptable = ProfileModel::Acceptable(write.section, write.key, write.value);
    const bool succeeded = Perform(write, throughIniFile);
    const std::optional<std::string> after = ReadFile();
    CheckNoStrayFiles();

    if (!acceptable) {
        FUZZ_CHECK(!succeeded, "a write of names the file cannot hold reported success");
        FUZZ_CHECK(after.has_value() == existed, "the refused write created or removed the file");
        FUZZ_CHECK(!existed || *after == old, "the refused write changed the file");
        return 0;
    }

    FUZZ_CHECK(succeeded, "the write failed");
    FUZZ_CHECK(after.has_value(), "no file after a successful write");
    const std::string expected = ProfileModel(old).WithKey(write.section, write.key, write.value);
    FUZZ_CHECK(*after == expected, "file is not the old text with the one key set (%zu bytes, expected %zu)",
               after->size(), expected.size());
    const std::optional<std::string> readBack = ProfileModel(*after).Value(write.section, write.key);
    FUZZ_CHECK(readBack.has_value() && *readBack == write.value, "the value does not read back");
    if (existed)
        FUZZ_CHECK(ModeOf() == mode, "permission bits %o became %o", mode, ModeOf());

    // The same write again finds the value in place and changes nothing.
    FUZZ_CHECK(Perform(write, !throughIniFile), "the second write failed");
    FUZZ_CHECK(ReadFile() == after, "the second write changed the file");
    CheckNoStrayFiles();
    return 0;
}

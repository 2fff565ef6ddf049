// The profile object: writes through the profile service and flushes when released.
#include "platform/profile/TIniFile.h"

#include "platform/profile/ProfileService.h"

#include <utility>

TIniFile::TIniFile(std::string fileName) : m_fileName(std::move(fileName)) {}

TIniFile::~TIniFile()
{
    // Releasing flushes the service's copy of the file; its result is of no interest,
    // and a destructor must not throw.
    try {
        WritePrivateProfileString(nullptr, nullptr, nullptr, m_fileName);
    } catch (...) {
    }
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    // The service takes C strings: a NUL inside a name would cut it short and write
    // somewhere else, so such a write fails before it reaches the file.
    const auto hasNul = [](const std::string& text) { return text.find('\0') != std::string::npos; };
    if (hasNul(section) || hasNul(key) || hasNul(value))
        throw EIniFileException("Unable to write to " + m_fileName);
    if (!WritePrivateProfileString(section.c_str(), key.c_str(), value.c_str(), m_fileName))
        throw EIniFileException("Unable to write to " + m_fileName);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int value)
{
    WriteString(section, key, std::to_string(value));
}

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
    if (!WritePrivateProfileString(section.c_str(), key.c_str(), value.c_str(), m_fileName))
        throw EIniFileException("Unable to write to " + m_fileName);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int value)
{
    WriteString(section, key, std::to_string(value));
}

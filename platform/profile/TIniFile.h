// The profile object: one settings file, written key by key through the profile
// service, flushed when released.
#pragma once

#include "platform/Exception.h"

#include <string>

VESKAN_EXCEPTION_CLASS(EIniFileException, Exception);

class TIniFile {
public:
    // A bare name is resolved into the system directory (see SystemDirectory.h).
    explicit TIniFile(std::string fileName);
    // Flushes through the profile service; the result is ignored.
    ~TIniFile();
    TIniFile(const TIniFile&) = delete;
    TIniFile& operator=(const TIniFile&) = delete;

    const std::string& FileName() const { return m_fileName; }
    // Raises EIniFileException "Unable to write to %s" with FileName() on failure.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);

private:
    std::string m_fileName;
};

// AssetFile: the bytes of one committed file in assets/, and little-endian field reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class AssetFile {
public:
    // Reads VESKAN_SOURCE_DIR/assets/NAME; an unreadable file gives no bytes.
    explicit AssetFile(const std::string& name);

    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }
    std::size_t Size() const { return m_bytes.size(); }
    // Fields past the end of the file read as 0, so a truncated file fails the checks
    // instead of crashing them.
    std::uint32_t U8(std::size_t at) const;
    std::uint32_t U16(std::size_t at) const;
    std::uint32_t U32(std::size_t at) const;
    std::int32_t S32(std::size_t at) const;

private:
    std::vector<std::uint8_t> m_bytes;
};

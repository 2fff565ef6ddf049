// Little-endian fields of the BMP and icon file formats.
#pragma once

#include <cstdint>
#include <vector>

inline void Put16(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

inline void Put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

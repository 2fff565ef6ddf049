// AssetFile: reads the committed asset, never a generated copy.
#include "AssetFile.h"

#include <fstream>
#include <iterator>

AssetFile::AssetFile(const std::string& name)
{
    std::ifstream in(std::string(VESKAN_SOURCE_DIR) + "/assets/" + name, std::ios::binary);
    m_bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t AssetFile::U8(std::size_t at) const
{
    return at < m_bytes.size() ? m_bytes[at] : 0;
}

std::uint32_t AssetFile::U16(std::size_t at) const
{
    return U8(at) | (U8(at + 1) << 8);
}

std::uint32_t AssetFile::U32(std::size_t at) const
{
    return U16(at) | (U16(at + 2) << 16);
}

std::int32_t AssetFile::S32(std::size_t at) const
{
    return static_cast<std::int32_t>(U32(at));
}

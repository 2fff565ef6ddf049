// The picture catalogue: which holder is which picture, and the parsing of the screen
// form's stored picture blocks.
#include "scene/Catalogue.h"

#include "platform/Exception.h"

#include <charconv>

namespace {

using enum PictureGroup;

constexpr std::array<CatalogueEntry, PictureCount> Entries{{
    {1, Sky, false},       {2, Sky, false},       {3, Sky, false},      {4, Sky, false},
    {5, Sky, false},       {6, Castle, true},     {7, Castle, true},    {8, Branches, true},
    {9, Branches, true},   {10, ShortTree, true}, {11, TallTree, true}, {12, Hill, true},
    {13, Hill, true},      {14, Hill, true},      {15, Eyes, false},    {16, Eyes, false},
    {17, Eyes, false},     {18, Eyes, false},     {19, Eyes, false},    {20, Moon, true},
    {21, Figure, true},    {22, Figure, true},    {23, Figure, true},   {24, Banner, false},
    {25, Banner, false},   {26, Banner, false},   {27, Banner, false},  {28, Banner, false},
}};

// Reads the stored form front to back; every read is checked against the end.
class FormReader {
public:
    explicit FormReader(std::span<const std::uint8_t> data) : m_data(data) {}

    std::span<const std::uint8_t> Take(std::size_t count)
    {
        if (count > m_data.size() - m_offset)
            throw EReadError("Stream read error");
        const auto part = m_data.subspan(m_offset, count);
        m_offset += count;
        return part;
    }
    std::uint8_t Byte() { return Take(1)[0]; }
    std::uint32_t UInt32()
    {
        const auto bytes = Take(4);
        return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
               (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
    }

private:
    std::span<const std::uint8_t> m_data;
    std::size_t m_offset = 0;
};

} // namespace

std::unique_ptr<Catalogue> Catalogue::Load(std::span<const std::uint8_t> formStream, JpegDepth depth)
{
    auto catalogue = std::make_unique<Catalogue>();
    FormReader reader(formStream);
    for (int holder = 1; holder <= PictureCount; ++holder) {
        const std::uint8_t nameLength = reader.Byte();
        const auto nameBytes = reader.Take(nameLength);
        const std::string_view className(reinterpret_cast<const char*>(nameBytes.data()), nameBytes.size());
        const std::uint32_t size = reader.UInt32();
        const auto data = reader.Take(size);
        auto& slot = catalogue->m_pictures[static_cast<std::size_t>(holder - 1)];
        if (className == "TBitmap")
            slot = Picture::LoadBitmap(data);
        else if (className == "TJPEGImage")
            slot = Picture::LoadJpeg(data, depth);
        else
            throw EClassNotFound("Class " + std::string(className) + " not found");
    }
    return catalogue;
}

const CatalogueEntry& Catalogue::Entry(int holder)
{
    return Entries.at(static_cast<std::size_t>(holder - 1));
}

const CatalogueEntry* Catalogue::Find(std::string_view key)
{
    constexpr std::string_view Prefix = "Image";
    if (!key.starts_with(Prefix))
        return nullptr;
    const std::string_view digits = key.substr(Prefix.size());
    // Only the plain names: no sign, no leading zero.
    if (digits.empty() || digits.size() > 2 || digits[0] == '0')
        return nullptr;
    int holder = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), holder);
    if (error != std::errc() || end != digits.data() + digits.size() || holder < 1 || holder > PictureCount)
        return nullptr;
    return &Entries[static_cast<std::size_t>(holder - 1)];
}

void Catalogue::Draw(Raster& dst, int holder, int x, int y)
{
    DrawPicture(dst, Image(holder), x, y, Entry(holder).keyed ? Keying::UseKey : Keying::Opaque);
}

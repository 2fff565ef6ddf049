// The picture catalogue: which holder is which picture, and the parsing of the screen
// form's stored picture blocks.
#include "scene/Catalogue.h"

#include "platform/Exception.h"

#include <atomic>
#include <charconv>

namespace {

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
    // Start-up loads on a second core.
    static std::atomic<std::uint64_t> loaded{0};
    auto catalogue = std::make_unique<Catalogue>();
    catalogue->m_serial = ++loaded;
    FormReader reader(formStream);
    for (int holder = 1; holder <= PictureCount; ++holder) {
        const std::uint8_t nameLength = reader.Byte();
        const auto nameBytes = reader.Take(nameLength);
        const std::string_view className(reinterpret_cast<const char*>(nameBytes.data()), nameBytes.size());
        const std::uint32_t size = reader.UInt32();
        const auto data = reader.Take(size);
        auto& slot = catalogue->m_pictures[static_cast<std::size_t>(holder - 1)];
        if (className == StoredClassName(PictureKind::Bitmap))
            slot = Picture::LoadBitmap(data);
        else if (className == StoredClassName(PictureKind::Jpeg))
            slot = Picture::LoadJpeg(data, depth);
        else
            throw EClassNotFound("Class " + std::string(className) + " not found");
    }
    return catalogue;
}

const PictureFacts* Catalogue::Find(std::string_view key)
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
    return &Facts(holder);
}

void Catalogue::Draw(Raster& dst, int holder, int x, int y)
{
    DrawPicture(dst, Image(holder), x, y, Facts(holder).Keyed ? Keying::UseKey : Keying::Opaque);
}

void Catalogue::Draw(Raster& dst, int holder, int x, int y, const Rect& clip)
{
    DrawPicture(dst, Image(holder), x, y, Facts(holder).Keyed ? Keying::UseKey : Keying::Opaque, clip);
}

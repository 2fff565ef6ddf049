// pack-pictures: packs assets/ into the screen form's stored picture blocks, one block
// per holder Image1 to Image28: 1 byte N, N bytes of class name, 32-bit little-endian
// size S, S bytes of BMP file image or JFIF stream. Run by the build.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

bool IsBitmapHolder(int holder)
{
    return (holder >= 6 && holder <= 14) || (holder >= 20 && holder <= 23);
}

bool ReadFile(const std::string& path, std::vector<char>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: pack-pictures ASSETDIR OUTFILE\n");
        return 2;
    }
    const std::string assetDir = argv[1];
    const std::string outPath = argv[2];
    std::vector<char> packed;
    for (int holder = 1; holder <= 28; ++holder) {
        const bool bitmap = IsBitmapHolder(holder);
        const std::string path = assetDir + "/Image" + std::to_string(holder) + (bitmap ? ".bmp" : ".jpg");
        std::vector<char> bytes;
        if (!ReadFile(path, bytes)) {
            std::fprintf(stderr, "pack-pictures: cannot read %s\n", path.c_str());
            return 1;
        }
        const std::string className = bitmap ? "TBitmap" : "TJPEGImage";
        packed.push_back(static_cast<char>(className.size()));
        packed.insert(packed.end(), className.begin(), className.end());
        const auto size = static_cast<std::uint32_t>(bytes.size());
        for (int shift = 0; shift < 32; shift += 8)
            packed.push_back(static_cast<char>((size >> shift) & 0xFF));
        packed.insert(packed.end(), bytes.begin(), bytes.end());
    }
    const std::string tempPath = outPath + ".tmp";
    {
        std::ofstream out(tempPath, std::ios::binary | std::ios::trunc);
        out.write(packed.data(), static_cast<std::streamsize>(packed.size()));
        if (!out) {
            std::fprintf(stderr, "pack-pictures: cannot write %s\n", tempPath.c_str());
            return 1;
        }
    }
    if (std::rename(tempPath.c_str(), outPath.c_str()) != 0) {
        std::fprintf(stderr, "pack-pictures: cannot write %s\n", outPath.c_str());
        return 1;
    }
    return 0;
}

// pack-pictures: packs assets/ into the screen form's stored picture blocks, one block
// per holder Image1 to Image28: 1 byte N, N bytes of class name, 32-bit little-endian
// size S, S bytes of BMP file image or JFIF stream. Run by the build, which learns the
// files it read from DEPFILE.
#include "scene/PictureTable.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

bool ReadFile(const std::string& path, std::vector<char>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Make's rule syntax: spaces in a path are escaped.
std::string ForMake(const std::string& path)
{
    std::string escaped;
    for (const char c : path) {
        if (c == ' ')
            escaped += '\\';
        escaped += c;
    }
    return escaped;
}

bool WriteFile(const std::string& path, const char* data, std::size_t size)
{
    // Written under a temporary name and renamed, so the file is whole or absent.
    const std::string tempPath = path + ".tmp";
    {
        std::ofstream out(tempPath, std::ios::binary | std::ios::trunc);
        out.write(data, static_cast<std::streamsize>(size));
        if (!out)
            return false;
    }
    return std::rename(tempPath.c_str(), path.c_str()) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: pack-pictures ASSETDIR OUTFILE [DEPFILE]\n");
        return 2;
    }
    const std::string assetDir = argv[1];
    const std::string outPath = argv[2];
    std::vector<char> packed;
    std::string depends = ForMake(outPath) + ":";
    for (const PictureFacts& picture : PictureTable) {
        const std::string path = assetDir + "/" + AssetFileName(picture.Holder);
        depends += " " + ForMake(path);
        std::vector<char> bytes;
        if (!ReadFile(path, bytes)) {
            std::fprintf(stderr, "pack-pictures: cannot read %s\n", path.c_str());
            return 1;
        }
        const char* className = StoredClassName(picture.Kind);
        packed.push_back(static_cast<char>(std::strlen(className)));
        packed.insert(packed.end(), className, className + std::strlen(className));
        const auto size = static_cast<std::uint32_t>(bytes.size());
        for (int shift = 0; shift < 32; shift += 8)
            packed.push_back(static_cast<char>((size >> shift) & 0xFF));
        packed.insert(packed.end(), bytes.begin(), bytes.end());
    }
    if (!WriteFile(outPath, packed.data(), packed.size())) {
        std::fprintf(stderr, "pack-pictures: cannot write %s\n", outPath.c_str());
        return 1;
    }
    depends += "\n";
    if (argc == 4 && !WriteFile(argv[3], depends.data(), depends.size())) {
        std::fprintf(stderr, "pack-pictures: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}

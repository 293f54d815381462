#include "tools/contentgen/room/Write3ds.h"

#include <osgDB/ReaderWriter>
#include <osgDB/Registry>

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace contentgen::room {

namespace {

namespace fs = std::filesystem;

// Chunk ids of the 3DS format that lead down to the smoothing groups.
constexpr std::uint16_t kMain = 0x4D4D;
constexpr std::uint16_t kEditor = 0x3D3D;
constexpr std::uint16_t kObject = 0x4000;
constexpr std::uint16_t kTriangleMesh = 0x4100;
constexpr std::uint16_t kFaces = 0x4120;
constexpr std::uint16_t kSmoothingGroups = 0x4150;
constexpr std::size_t kHeader = 6;

std::uint32_t readLe(const Bytes& b, std::size_t at, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | b.at(at + static_cast<std::size_t>(i));
    return v;
}

void writeLe32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.at(at + static_cast<std::size_t>(i)) = static_cast<unsigned char>(v >> (8 * i));
}

// Offset of the first sub-chunk inside a chunk's body.
std::size_t firstChild(const Bytes& b, std::uint16_t id, std::size_t body)
{
    if (id == kObject) {
        while (b.at(body) != 0)  // the object's name, zero-terminated
            ++body;
        return body + 1;
    }
    if (id == kFaces)
        return body + 2 + 8 * readLe(b, body, 2);  // count, then 4 words a face
    return body;
}

void smoothChunks(Bytes& b, std::size_t at, std::size_t end)
{
    while (at + kHeader <= end) {
        const auto id = static_cast<std::uint16_t>(readLe(b, at, 2));
        const std::size_t size = readLe(b, at + 2, 4);
        if (size < kHeader || at + size > end)
            throw std::runtime_error("malformed 3DS chunk");
        const std::size_t body = at + kHeader;
        if (id == kSmoothingGroups) {
            for (std::size_t p = body; p + 4 <= at + size; p += 4)
                writeLe32(b, p, 1);
        } else if (id == kMain || id == kEditor || id == kObject || id == kTriangleMesh || id == kFaces) {
            smoothChunks(b, firstChild(b, id, body), at + size);
        }
        at += size;
    }
}

Bytes readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// A scratch folder for the writer, which puts images next to the model.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "contentgen-3ds-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot make a scratch folder");
        path_ = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

} // namespace

void smoothAllFaces(Bytes& file3ds)
{
    smoothChunks(file3ds, 0, file3ds.size());
}

Encoded3ds encode3ds(const osg::Node& node)
{
    osgDB::ReaderWriter* writer = osgDB::Registry::instance()->getReaderWriterForExtension("3ds");
    if (!writer)
        throw std::runtime_error("no .3ds writer plug-in");
    const ScratchFolder scratch;
    const fs::path modelPath = scratch.path() / "model.3ds";
    const osgDB::ReaderWriter::WriteResult result = writer->writeNode(node, modelPath.string());
    if (!result.success())
        throw std::runtime_error("cannot write 3DS: " + result.message());
    Encoded3ds encoded;
    encoded.model = readAll(modelPath);
    smoothAllFaces(encoded.model);
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(scratch.path()))
        if (entry.is_regular_file() && entry.path() != modelPath)
            encoded.images[fs::relative(entry.path(), scratch.path()).generic_string()] = readAll(entry.path());
    return encoded;
}

} // namespace contentgen::room

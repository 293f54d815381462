#include "tools/contentgen/Output.h"

#include <osgDB/FileNameUtils>
#include <osgDB/FileUtils>
#include <osgDB/ReaderWriter>
#include <osgDB/Registry>

#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace contentgen {

namespace {

std::vector<unsigned char> readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

} // namespace

void writeFileIfChanged(const std::string& showDir, const std::string& relPath,
                        const std::vector<unsigned char>& bytes)
{
    const std::string path = showDir + "/" + relPath;
    if (readAll(path) == bytes && osgDB::fileExists(path))
        return;
    osgDB::makeDirectoryForFile(path);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

void writeTextIfChanged(const std::string& showDir, const std::string& relPath,
                        const std::string& text)
{
    writeFileIfChanged(showDir, relPath, std::vector<unsigned char>(text.begin(), text.end()));
}

void writeImageIfChanged(const std::string& showDir, const std::string& relPath,
                         const osg::Image& image)
{
    const std::string ext = osgDB::getLowerCaseFileExtension(relPath);
    osgDB::ReaderWriter* writer = osgDB::Registry::instance()->getReaderWriterForExtension(ext);
    if (!writer)
        throw std::runtime_error("no image writer for ." + ext);
    std::ostringstream encoded(std::ios::binary);
    // Fixed quality keeps the encoded bytes identical from run to run.
    osg::ref_ptr<osgDB::Options> options = new osgDB::Options(ext == "jpg" ? "JPEG_QUALITY 92" : "");
    const osgDB::ReaderWriter::WriteResult result = writer->writeImage(image, encoded, options.get());
    if (!result.success())
        throw std::runtime_error("cannot encode " + relPath + ": " + result.message());
    const std::string data = encoded.str();
    writeFileIfChanged(showDir, relPath, std::vector<unsigned char>(data.begin(), data.end()));
}

} // namespace contentgen

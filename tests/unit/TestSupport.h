#pragma once

#include <osg/Image>
#include <osgDB/WriteFile>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <sys/stat.h>

// Runs a test inside a fresh scratch folder (with a scripts/ folder, as the
// show's run folder has) and returns to where it was afterwards.
class ScratchDir
{
public:
    ScratchDir()
    {
        char pattern[] = "/tmp/demo-test-XXXXXX";
        m_path = mkdtemp(pattern);
        char cwd[4096];
        m_previous = getcwd(cwd, sizeof cwd) ? cwd : "/tmp";
        if (chdir(m_path.c_str()) != 0)
            std::abort();
        mkdir("scripts", 0755);
        mkdir("demodata", 0755);
    }
    ~ScratchDir()
    {
        if (chdir(m_previous.c_str()) != 0)
            std::abort();
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    std::string m_previous;
};

// Collects what the code under test writes to standard output.
class CaptureStdout
{
public:
    CaptureStdout() : m_old(std::cout.rdbuf(m_buffer.rdbuf())) {}
    ~CaptureStdout() { std::cout.rdbuf(m_old); }
    std::string text() const { return m_buffer.str(); }

private:
    std::ostringstream m_buffer;
    std::streambuf* m_old;
};

// Feeds text to the code under test as if typed on standard input.
class TypeOnStdin
{
public:
    explicit TypeOnStdin(const std::string& typed)
        : m_buffer(typed), m_old(std::cin.rdbuf(m_buffer.rdbuf())) {}
    ~TypeOnStdin() { std::cin.rdbuf(m_old); std::cin.clear(); }

private:
    std::istringstream m_buffer;
    std::streambuf* m_old;
};

// Sets an environment variable for one test and puts back what was there.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name)
    {
        const char* old = std::getenv(name);
        m_had = old != nullptr;
        m_old = old ? old : "";
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (m_had)
            setenv(m_name, m_old.c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    std::string m_old;
    bool m_had = false;
};

inline void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// A small flat image for the effects to load: RGB for .jpg, which has no
// alpha, RGBA otherwise.
inline bool writeTestImage(const std::string& path, unsigned char value)
{
    const bool jpeg = path.size() > 4 && path.compare(path.size() - 4, 4, ".jpg") == 0;
    osg::ref_ptr<osg::Image> image = new osg::Image;
    image->allocateImage(4, 4, 1, jpeg ? GL_RGB : GL_RGBA, GL_UNSIGNED_BYTE);
    std::fill(image->data(), image->data() + image->getTotalSizeInBytes(), value);
    return osgDB::writeImageFile(*image, path);
}

#pragma once

// What every harness needs: the readers print freely, which would drown the
// fuzzer's own output, and they read files, so each input is written to a
// scratch file in a folder of the harness's own.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <streambuf>
#include <string>
#include <unistd.h>
#include <sys/stat.h>

namespace fuzz {

// Takes whatever is written and keeps nothing.
class NullBuffer : public std::streambuf
{
protected:
    int overflow(int c) override { return c; }
};

// Moves into a new scratch folder (with the run folder's sub-folders) and
// silences standard output. Call once, from LLVMFuzzerInitialize.
inline void enterScratchFolder()
{
    static NullBuffer sink;
    std::cout.rdbuf(&sink);
    char pattern[] = "/tmp/demo-fuzz-XXXXXX";
    if (!mkdtemp(pattern) || chdir(pattern) != 0)
        std::abort();
    mkdir("scripts", 0755);
    mkdir("demodata", 0755);
}

inline void writeInput(const char* path, const std::uint8_t* data, std::size_t size)
{
    std::FILE* file = std::fopen(path, "wb");
    if (!file)
        std::abort();
    if (size)
        std::fwrite(data, 1, size, file);
    std::fclose(file);
}

// The input as a file read from memory, for readers that take an open
// file: no disk write per input. Close it with fclose.
inline std::FILE* openInput(const std::uint8_t* data, std::size_t size)
{
    std::FILE* file = size ? fmemopen(const_cast<std::uint8_t*>(data), size, "rb") : std::fopen("/dev/null", "rb");
    if (!file)
        std::abort();
    return file;
}

} // namespace fuzz

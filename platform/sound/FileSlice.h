#pragma once

#include <cstdio>
#include <sys/types.h>

namespace sound {

// A byte range of a file, seen by the decoder as if it were the whole file,
// so a stream can be opened from inside a larger data file.
class FileSlice
{
public:
    FileSlice() = default;
    FileSlice(const FileSlice&) = delete;
    FileSlice& operator=(const FileSlice&) = delete;
    ~FileSlice() { close(); }

    // `length` 0 means up to the end of the file. False when the file cannot
    // be opened or the range lies outside it.
    bool open(const char* path, long offset, long length);
    void close();

    // POSIX read and lseek semantics inside the slice.
    long read(void* buffer, size_t bytes);
    off_t seek(off_t offset, int whence);

private:
    std::FILE* m_file = nullptr;
    long m_begin = 0;
    long m_size = 0;
    long m_position = 0;
};

} // namespace sound
